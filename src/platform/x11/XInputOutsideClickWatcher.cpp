// SPDX-License-Identifier: MIT
#include "platform/x11/XInputOutsideClickWatcher.h"

#include "core/Log.h"

#include <QScopeGuard>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#include <xcb/xinput.h>

namespace {

// The buttons that count as a click: the physical left and right buttons. The middle
// button and the wheel (buttons 4 to 7) do not close the panel.
constexpr uint32_t leftButton = 1;
constexpr uint32_t rightButton = 3;

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <class T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

} // namespace

XInputOutsideClickWatcher::~XInputOutsideClickWatcher()
{
    stop();
}

bool XInputOutsideClickWatcher::start(std::function<void()> onButtonPress)
{
    m_onButtonPress = std::move(onButtonPress);
    if (m_connection)
        return true;
    if (connect())
        return true;
    m_onButtonPress = nullptr;
    return false;
}

void XInputOutsideClickWatcher::stop()
{
    m_onButtonPress = nullptr;
    if (!m_connection)
        return;
    // When a press that closed the panel stops the watcher, the notifier's own signal is
    // still running; it is silenced then and goes away once that is over.
    if (m_notifier) {
        m_notifier->setEnabled(false);
        if (m_reading)
            m_notifier->deleteLater();
        else
            delete m_notifier;
    }
    xcb_disconnect(m_connection);
    m_connection = nullptr;
}

bool XInputOutsideClickWatcher::connect()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        Log::app().error(QStringLiteral("click-outside watcher: no X display"));
        return false;
    }
    const xcb_query_extension_reply_t* extension =
        xcb_get_extension_data(connection, &xcb_input_id);
    XcbReply<xcb_input_xi_query_version_reply_t> version(
        extension && extension->present
            ? xcb_input_xi_query_version_reply(
                  connection, xcb_input_xi_query_version(connection, 2, 2), nullptr)
            : nullptr);
    if (!version || version->major_version < 2 ||
        (version->major_version == 2 && version->minor_version < 2)) {
        xcb_disconnect(connection);
        Log::app().error(QStringLiteral("click-outside watcher: XInput 2.2 not available"));
        return false;
    }

    struct {
        xcb_input_event_mask_t head;
        uint32_t bits;
    } mask = {{XCB_INPUT_DEVICE_ALL_MASTER, 1}, XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS};
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    std::unique_ptr<xcb_generic_error_t, FreeDeleter> error(xcb_request_check(
        connection, xcb_input_xi_select_events_checked(connection, root, 1, &mask.head)));
    if (error) {
        xcb_disconnect(connection);
        Log::app().error(QStringLiteral("click-outside watcher: selecting raw presses failed"));
        return false;
    }

    m_connection = connection;
    m_xinputOpcode = extension->major_opcode;
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read);
    QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier, [this] { readEvents(); });
    return true;
}

void XInputOutsideClickWatcher::readEvents()
{
    m_reading = true;
    const auto done = qScopeGuard([this] { m_reading = false; });
    xcb_connection_t* connection = m_connection;
    while (connection == m_connection) {
        std::unique_ptr<xcb_generic_event_t, FreeDeleter> event(xcb_poll_for_event(connection));
        if (!event) {
            if (xcb_connection_has_error(connection)) {
                // The server went away; nothing more will arrive on this connection.
                Log::app().error(QStringLiteral("click-outside watcher: X connection lost"));
                stop();
            }
            return;
        }
        if ((event->response_type & 0x7f) != XCB_GE_GENERIC)
            continue;
        auto* generic = reinterpret_cast<xcb_ge_generic_event_t*>(event.get());
        if (generic->extension != m_xinputOpcode ||
            generic->event_type != XCB_INPUT_RAW_BUTTON_PRESS)
            continue;
        auto* press = reinterpret_cast<xcb_input_raw_button_press_event_t*>(event.get());
        if (press->detail != leftButton && press->detail != rightButton)
            continue;
        // The callback may stop this watcher; the loop condition notices that.
        auto callback = m_onButtonPress;
        if (callback)
            callback();
    }
}
