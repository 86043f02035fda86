// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "core/Wakeup.h"
#include "platform/FrontmostWindows.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class WaylandConnection;
struct zwlr_foreign_toplevel_handle_v1;
struct zwlr_foreign_toplevel_manager_v1;

// The active window as a wlroots compositor lists its windows to clients that ask
// (zwlr_foreign_toplevel_manager_v1): the application id and title of the activated one.
// A native Wayland window names no X11 window and no process, but its application id is
// what tells terminals apart ("foot", "kitty", "org.gnome.Terminal"). X11 windows go to the
// X11 list through XWayland when there is one, which knows their window ids. Main thread
// only; the connection, the X11 list and the clock are borrowed and must outlive it.
class ForeignToplevelWindows final : public FrontmostWindows {
public:
    ForeignToplevelWindows(WaylandConnection& connection, FrontmostWindows* x11, Clock& clock);
    ~ForeignToplevelWindows() override;

    static bool isOffered(const WaylandConnection& connection);

    std::optional<TargetApplication> frontmost() override;
    bool isActive(const TargetApplication& application) override;
    void activate(const TargetApplication& application) override;
    QCoro::Task<> activeWindowChanged(std::chrono::milliseconds timeout) override;

    // One window as the compositor describes it; public for the protocol's listeners.
    struct Toplevel {
        ForeignToplevelWindows* owner = nullptr;
        zwlr_foreign_toplevel_handle_v1* handle = nullptr;
        QString appId;
        QString title;
        bool activated = false;
        // What the events since the last "done" said, applied at "done".
        QString pendingAppId;
        QString pendingTitle;
        bool pendingActivated = false;
    };
    void added(zwlr_foreign_toplevel_handle_v1* handle);
    void changed();
    void closed(Toplevel* toplevel);

private:
    const Toplevel* active() const;

    WaylandConnection& m_connection;
    FrontmostWindows* m_x11;
    Clock& m_clock;
    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    std::vector<std::unique_ptr<Toplevel>> m_toplevels;
    Wakeup m_wakeup;
    QObject m_context;
};
