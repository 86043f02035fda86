// SPDX-License-Identifier: MIT
#include "platform/x11/EwmhFrontmostWindows.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};

uint32_t firstCardinal(const QByteArray& bytes)
{
    uint32_t value = 0;
    if (bytes.size() >= qsizetype(sizeof value))
        std::memcpy(&value, bytes.constData(), sizeof value);
    return value;
}

// WM_CLASS holds the instance name and then the class name, each ended by a zero byte.
QString classPart(const QByteArray& wmClass)
{
    const QList<QByteArray> parts = wmClass.split('\0');
    return parts.size() >= 2 ? QString::fromLocal8Bit(parts[1]) : QString();
}

} // namespace

QByteArray EwmhFrontmostWindows::property(uint32_t window, uint32_t name, uint32_t type)
{
    xcb_connection_t* connection = m_x11.get();
    if (!connection || !window || !name)
        return {};
    // Titles and classes are short; 64 KiB is more than any window sets.
    const std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, name, type, 0, 16384), nullptr));
    if (!reply || reply->format == 0)
        return {};
    const int length = xcb_get_property_value_length(reply.get());
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
}

uint32_t EwmhFrontmostWindows::activeWindow()
{
    return firstCardinal(property(m_x11.root(), m_x11.atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW));
}

bool EwmhFrontmostWindows::exists(uint32_t window)
{
    xcb_connection_t* connection = m_x11.get();
    if (!connection)
        return false;
    const std::unique_ptr<xcb_get_window_attributes_reply_t, FreeDeleter> attributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window),
                                        nullptr));
    return attributes != nullptr;
}

std::optional<TargetApplication> EwmhFrontmostWindows::frontmost()
{
    // A window manager may leave the property naming a window that has just been closed.
    const uint32_t window = activeWindow();
    if (!window || !exists(window))
        return std::nullopt;
    TargetApplication application;
    application.windowID = window;
    application.pid = firstCardinal(property(window, m_x11.atom("_NET_WM_PID"), XCB_ATOM_CARDINAL));
    application.wmClass = classPart(property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING));
    const QByteArray name = property(window, m_x11.atom("_NET_WM_NAME"), m_x11.atom("UTF8_STRING"));
    application.title =
        name.isEmpty() ? QString::fromLocal8Bit(property(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING))
                       : QString::fromUtf8(name);
    return application;
}

EwmhFrontmostWindows::EwmhFrontmostWindows(Clock& clock, X11Connection& x11)
    : m_x11(x11)
    , m_rootChanges(clock, [this](const xcb_generic_event_t& event) {
        if ((event.response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto& change = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        return change.window == m_x11.root() && change.atom == m_x11.atom("_NET_ACTIVE_WINDOW");
    })
{}

bool EwmhFrontmostWindows::isActive(const TargetApplication& application)
{
    return application.windowID != 0 && activeWindow() == application.windowID;
}

QCoro::Task<> EwmhFrontmostWindows::activeWindowChanged(std::chrono::milliseconds timeout)
{
    if (!m_rootChanges.isWatching() && m_x11.get()) {
        m_x11.selectRootEvents(XCB_EVENT_MASK_PROPERTY_CHANGE);
        m_rootChanges.watch(m_x11);
    }
    co_await m_rootChanges.next(timeout);
}

void EwmhFrontmostWindows::activate(const TargetApplication& application)
{
    xcb_connection_t* connection = m_x11.get();
    const uint32_t request = m_x11.atom("_NET_ACTIVE_WINDOW");
    if (!connection || !application.windowID || !request)
        return;
    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = application.windowID;
    message.type = request;
    // Source 2 speaks for the user (as a pager or taskbar does), which window managers
    // honour without their focus-stealing prevention; the paste follows the user's own
    // choice of the Replace command.
    message.data.data32[0] = 2;
    message.data.data32[1] = XCB_CURRENT_TIME;
    message.data.data32[2] = 0;
    xcb_send_event(connection, 0, m_x11.root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
}
