// SPDX-License-Identifier: MIT
#include "support/TrayHost.h"

#include "support/DesktopTools.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace {

struct Free {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T> using Reply = std::unique_ptr<T, Free>;

// A short-lived connection of its own, so nothing here depends on a toolkit.
class Display {
public:
    Display()
        : m_connection(xcb_connect(nullptr, nullptr))
    {}
    ~Display() { xcb_disconnect(m_connection); }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    bool isOpen() const { return xcb_connection_has_error(m_connection) == 0; }

    xcb_atom_t atom(const char* name)
    {
        const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, std::strlen(name), name), nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    bool selectionOwned(const char* selection)
    {
        const Reply<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(
            m_connection, xcb_get_selection_owner(m_connection, atom(selection)), nullptr));
        return reply && reply->owner != XCB_WINDOW_NONE;
    }

    // The window's parent; none for the root window.
    xcb_window_t parent(xcb_window_t window)
    {
        const Reply<xcb_query_tree_reply_t> reply(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
        if (!reply || reply->parent == reply->root)
            return XCB_WINDOW_NONE;
        return reply->parent;
    }

    // The process that says it owns the window (_NET_WM_PID); 0 when none does.
    int64_t pid(xcb_window_t window)
    {
        const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 0, 1),
            nullptr));
        if (!reply || xcb_get_property_value_length(reply.get()) != 4)
            return 0;
        return *static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    }

private:
    xcb_connection_t* m_connection;
};

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
    Display display;
    return display.isOpen() &&
           waitUntil([&] { return display.selectionOwned("_NET_SYSTEM_TRAY_S0"); }, 10s);
}

bool TrayHost::holdsWindowOf(int64_t pid)
{
    const ToolResult windows =
        runTool(QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--pid"), QString::number(pid)});
    Display display;
    if (!display.isOpen())
        return false;
    for (const QByteArray& line : windows.output.split('\n')) {
        bool isNumber = false;
        xcb_window_t window = line.toUInt(&isNumber);
        // The window manager frames the tray's own window, so the tray may be a few levels up.
        for (int level = 0; isNumber && level < 16 && window != XCB_WINDOW_NONE; ++level) {
            window = display.parent(window);
            if (window != XCB_WINDOW_NONE && display.pid(window) == m_process.processId())
                return true;
        }
    }
    return false;
}
