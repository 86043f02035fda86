// SPDX-License-Identifier: MIT
#include "platform/x11/XInputKeyEventSource.h"

#include "core/Log.h"

#include <QScopeGuard>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#include <xcb/xinput.h>

namespace {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <class T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

} // namespace

XInputKeyEventSource::~XInputKeyEventSource()
{
    stop();
}

bool XInputKeyEventSource::start(Handler handler)
{
    m_handler = std::move(handler);
    if (m_connection)
        return true;
    if (connect())
        return true;
    m_handler = nullptr;
    return false;
}

void XInputKeyEventSource::stop()
{
    m_handler = nullptr;
    if (!m_connection)
        return;
    // A handler that re-arms the double tap stops this source from inside the notifier's
    // own signal; the notifier is silenced then and goes away once that is over.
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

bool XInputKeyEventSource::connect()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        Log::hotkey().error(QStringLiteral("double-tap watcher: no X display"));
        return false;
    }
    // Raw events reach a client in spite of other clients' grabs only from XInput 2.1 on,
    // and only when the client has said it speaks that version.
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
        Log::hotkey().error(QStringLiteral("double-tap watcher: XInput 2.2 not available"));
        return false;
    }
    m_connection = connection;
    m_xinputOpcode = extension->major_opcode;
    readKeymap();
    readKeysDown();

    struct {
        xcb_input_event_mask_t head;
        uint32_t bits;
    } mask = {{XCB_INPUT_DEVICE_ALL_MASTER, 1},
              XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE};
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    XcbReply<xcb_generic_error_t> error(xcb_request_check(
        connection, xcb_input_xi_select_events_checked(connection, root, 1, &mask.head)));
    if (error) {
        xcb_disconnect(connection);
        m_connection = nullptr;
        Log::hotkey().error(QStringLiteral("double-tap watcher: selecting raw keys failed"));
        return false;
    }

    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read);
    QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier, [this] { readEvents(); });
    // Replies above may have pulled events into the queue behind the notifier's back.
    QMetaObject::invokeMethod(
        m_notifier.data(), [this] { readEvents(); }, Qt::QueuedConnection);
    return true;
}

void XInputKeyEventSource::readKeymap()
{
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    XcbReply<xcb_get_keyboard_mapping_reply_t> keyboard(xcb_get_keyboard_mapping_reply(
        m_connection,
        xcb_get_keyboard_mapping(m_connection, setup->min_keycode,
                                 uint8_t(setup->max_keycode - setup->min_keycode + 1)),
        nullptr));
    if (!keyboard) {
        m_keys.setKeymap({});
        return;
    }
    m_keys.setKeymap(ModifierKeyTable::fromKeyboardMapping(
        setup->min_keycode, keyboard->keysyms_per_keycode,
        std::span<const uint32_t>(
            xcb_get_keyboard_mapping_keysyms(keyboard.get()),
            size_t(xcb_get_keyboard_mapping_keysyms_length(keyboard.get())))));
}

void XInputKeyEventSource::readKeysDown()
{
    std::bitset<256> down;
    XcbReply<xcb_query_keymap_reply_t> keymap(
        xcb_query_keymap_reply(m_connection, xcb_query_keymap(m_connection), nullptr));
    if (keymap) {
        for (size_t keycode = 0; keycode < down.size(); ++keycode)
            down[keycode] = (keymap->keys[keycode / 8] >> (keycode % 8)) & 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    XcbReply<xcb_query_pointer_reply_t> pointer(
        xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, root), nullptr));
    m_keys.reset(down, pointer && (pointer->mask & XCB_MOD_MASK_LOCK) != 0);
}

void XInputKeyEventSource::readEvents()
{
    m_reading = true;
    const auto done = qScopeGuard([this] { m_reading = false; });
    xcb_connection_t* connection = m_connection;
    while (connection && connection == m_connection) {
        std::unique_ptr<xcb_generic_event_t, FreeDeleter> event(xcb_poll_for_event(connection));
        if (!event) {
            if (xcb_connection_has_error(connection)) {
                // The server went away; nothing more will arrive on this connection.
                Log::hotkey().error(QStringLiteral("double-tap watcher: X connection lost"));
                stop();
            }
            return;
        }
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_MAPPING_NOTIFY) {
            const auto* mapping = reinterpret_cast<xcb_mapping_notify_event_t*>(event.get());
            if (mapping->request != XCB_MAPPING_POINTER)
                readKeymap();
            continue;
        }
        if (type != XCB_GE_GENERIC)
            continue;
        const auto* generic = reinterpret_cast<xcb_ge_generic_event_t*>(event.get());
        if (generic->extension != m_xinputOpcode)
            continue;
        const auto* raw = reinterpret_cast<xcb_input_raw_key_press_event_t*>(event.get());
        if (raw->detail > 0xff)
            continue;
        // The handler may stop this source; the loop condition notices that.
        if (generic->event_type == XCB_INPUT_RAW_KEY_PRESS)
            deliver(m_keys.press(uint8_t(raw->detail)));
        else if (generic->event_type == XCB_INPUT_RAW_KEY_RELEASE)
            deliver(m_keys.release(uint8_t(raw->detail)));
    }
}

void XInputKeyEventSource::deliver(const std::optional<Event>& event)
{
    if (!event)
        return;
    const Handler handler = m_handler;
    if (handler)
        handler(*event);
}
