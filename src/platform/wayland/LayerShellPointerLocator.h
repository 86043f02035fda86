// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "core/Wakeup.h"
#include "platform/PointerLocator.h"

#include <QList>
#include <QObject>
#include <QPointF>
#include <memory>

class WaylandConnection;
struct wl_compositor;
struct wl_output;
struct wl_pointer;
struct wl_shm;
struct zwlr_layer_shell_v1;

// Learns the pointer from the compositor (wlroots compositors such as sway, and KWin): for
// one question it lays a transparent, full-output surface on the overlay layer, which never
// takes the keyboard; the compositor then reports the pointer entering it, with its
// position, and the surface goes again at once. Answers nothing when the compositor offers
// no layer shell or no pointer. Coordinates are the compositor's logical layout, which is
// what XWayland's root window uses at scale 1. Main thread only; the connection and the clock
// must outlive the locator.
class LayerShellPointerLocator final : public PointerLocator {
public:
    LayerShellPointerLocator(WaylandConnection& connection, Clock& clock);
    ~LayerShellPointerLocator() override;

    QCoro::Task<std::optional<QPoint>> locate(std::chrono::milliseconds bound) override;

private:
    struct Output {
        wl_output* output = nullptr;
        QPoint position;
    };
    struct Overlay;

    // Creates the overlay; false when the compositor lacks what it needs.
    bool startOverlay();
    std::optional<QPoint> answer() const;
    void pointerEntered(const void* surface, QPointF local);
    void seatChanged(uint32_t capabilities);

    WaylandConnection& m_connection;
    Clock& m_clock;
    wl_compositor* m_compositor = nullptr;
    wl_shm* m_shm = nullptr;
    zwlr_layer_shell_v1* m_layerShell = nullptr;
    wl_pointer* m_pointer = nullptr;
    QList<Output> m_outputs;
    std::unique_ptr<Overlay> m_overlay;
    int m_askers = 0;
    Wakeup m_wakeup;
    // Receives the connection's signals; goes first, before what they touch.
    QObject m_context;
};
