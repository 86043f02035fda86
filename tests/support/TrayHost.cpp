// SPDX-License-Identifier: MIT
#include "support/TrayHost.h"

#include "support/DesktopTools.h"

#include "platform/x11/X11Connection.h"

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace {

struct Free {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T> using Reply = std::unique_ptr<T, Free>;

bool selectionOwned(X11Connection& x, const char* selection)
{
    xcb_connection_t* c = x.get();
    const Reply<xcb_get_selection_owner_reply_t> reply(
        c ? xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, x.atom(selection)), nullptr)
          : nullptr);
    return reply && reply->owner != XCB_WINDOW_NONE;
}

// The window's parent; none for the root window.
xcb_window_t parentOf(xcb_connection_t* c, xcb_window_t window)
{
    const Reply<xcb_query_tree_reply_t> reply(
        xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
    return reply && reply->parent != reply->root ? reply->parent : xcb_window_t(XCB_WINDOW_NONE);
}

// The process that says it owns the window (_NET_WM_PID); 0 when none does.
int64_t pidOf(X11Connection& x, xcb_window_t window)
{
    xcb_connection_t* c = x.get();
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, x.atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 0, 1),
        nullptr));
    if (!reply || xcb_get_property_value_length(reply.get()) != 4)
        return 0;
    return *static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
}

} // namespace

TrayHost::~TrayHost()
{
    stop();
}

void TrayHost::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(5000);
}

bool TrayHost::start()
{
    m_process.start(QStringLiteral("trayer"),
                    {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                     QStringLiteral("right"), QStringLiteral("--widthtype"),
                     QStringLiteral("pixel"), QStringLiteral("--width"), QStringLiteral("120")});
    if (!m_process.waitForStarted(10000))
        return false;
    X11Connection x;
    return waitUntil([&] { return selectionOwned(x, "_NET_SYSTEM_TRAY_S0"); }, 10s);
}

bool TrayHost::holdsWindowOf(int64_t pid)
{
    const ToolResult windows =
        runTool(QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--pid"), QString::number(pid)});
    X11Connection x;
    if (!x.get())
        return false;
    for (const QByteArray& line : windows.output.split('\n')) {
        bool isNumber = false;
        xcb_window_t window = line.toUInt(&isNumber);
        // The window manager frames the tray's own window, so the tray may be a few levels up.
        for (int level = 0; isNumber && level < 16 && window != XCB_WINDOW_NONE; ++level) {
            window = parentOf(x.get(), window);
            if (window != XCB_WINDOW_NONE && pidOf(x, window) == m_process.processId())
                return true;
        }
    }
    return false;
}
