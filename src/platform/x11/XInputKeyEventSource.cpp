// SPDX-License-Identifier: MIT
#include "platform/x11/XInputKeyEventSource.h"

#include "core/Log.h"

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

XInputKeyEventSource::XInputKeyEventSource(X11Connection& x11)
    : m_events(x11, Log::hotkey(), QStringLiteral("double-tap watcher"), QStringLiteral("raw keys"),
               XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE)
{}

XInputKeyEventSource::~XInputKeyEventSource()
{
    stop();
}

bool XInputKeyEventSource::start(Handler handler)
{
    m_handler = std::move(handler);
    if (m_events.isRunning())
        return true;
    // The keymap and the keys held now are read before the raw events are selected.
    if (m_events.start([this](const xcb_generic_event_t& event) { handle(event); },
                       [this](xcb_connection_t* connection) {
                           readKeymap(connection);
                           readKeysDown(connection);
                       }))
        return true;
    m_handler = nullptr;
    return false;
}

void XInputKeyEventSource::stop()
{
    m_handler = nullptr;
    m_events.stop();
}

void XInputKeyEventSource::readKeymap(xcb_connection_t* connection)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    XcbReply<xcb_get_keyboard_mapping_reply_t> keyboard(xcb_get_keyboard_mapping_reply(
        connection,
        xcb_get_keyboard_mapping(connection, setup->min_keycode,
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

void XInputKeyEventSource::readKeysDown(xcb_connection_t* connection)
{
    std::bitset<256> down;
    XcbReply<xcb_query_keymap_reply_t> keymap(
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr));
    if (keymap) {
        for (size_t keycode = 0; keycode < down.size(); ++keycode)
            down[keycode] = (keymap->keys[keycode / 8] >> (keycode % 8)) & 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    XcbReply<xcb_query_pointer_reply_t> pointer(
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr));
    m_keys.reset(down, pointer && (pointer->mask & XCB_MOD_MASK_LOCK) != 0);
}

void XInputKeyEventSource::handle(const xcb_generic_event_t& event)
{
    const uint8_t type = event.response_type & 0x7f;
    if (type == XCB_MAPPING_NOTIFY) {
        const auto* mapping = reinterpret_cast<const xcb_mapping_notify_event_t*>(&event);
        if (mapping->request != XCB_MAPPING_POINTER && m_events.connection())
            readKeymap(m_events.connection());
        return;
    }
    if (type != XCB_GE_GENERIC)
        return;
    const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(&event);
    if (generic->extension != m_events.opcode())
        return;
    const auto* raw = reinterpret_cast<const xcb_input_raw_key_press_event_t*>(&event);
    if (raw->detail > 0xff)
        return;
    if (generic->event_type == XCB_INPUT_RAW_KEY_PRESS)
        deliver(m_keys.press(uint8_t(raw->detail)));
    else if (generic->event_type == XCB_INPUT_RAW_KEY_RELEASE)
        deliver(m_keys.release(uint8_t(raw->detail)));
}

void XInputKeyEventSource::deliver(const std::optional<Event>& event)
{
    if (!event)
        return;
    const Handler handler = m_handler;
    if (handler)
        handler(*event);
}
