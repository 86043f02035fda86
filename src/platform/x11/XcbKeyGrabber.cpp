// SPDX-License-Identifier: MIT
#include "platform/x11/XcbKeyGrabber.h"

#include "core/KeyPositions.h"
#include "core/Log.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <tuple>
#include <xcb/xcb.h>
// The XKB protocol header names a struct member "explicit", which C++ reserves.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

namespace {

// Shift, Lock, Control and Mod1 to Mod5. The higher bits of an event's state are mouse
// buttons and the XKB group, which a shortcut does not care about.
constexpr uint16_t modifierBits = 0xff;

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <class T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

} // namespace

XcbKeyGrabber::XcbKeyGrabber(KeyCharacters& layout, X11Connection& x11, OwnKeyboardGrab* ownGrab)
    : XcbKeyGrabber(layout, &x11, ownGrab, nullptr)
{}

XcbKeyGrabber::XcbKeyGrabber(KeyCharacters& layout, std::unique_ptr<X11Connection> own)
    : XcbKeyGrabber(layout, nullptr, nullptr, std::move(own))
{}

XcbKeyGrabber::XcbKeyGrabber(KeyCharacters& layout, X11Connection* shared, OwnKeyboardGrab* ownGrab,
                             std::unique_ptr<X11Connection> own)
    : m_layout(layout)
    , m_own(std::move(own))
    , m_x11(shared ? *shared : *m_own)
    , m_ownGrab(ownGrab)
{
    if (!connect())
        Log::hotkey().error(QStringLiteral("global hotkeys unavailable: no X display"));
    if (m_ownGrab)
        m_ownGrab->setHolder({[this] { return lend(); }, [this] { reclaim(); }});
}

XcbKeyGrabber::~XcbKeyGrabber()
{
    if (m_ownGrab)
        m_ownGrab->setHolder({});
    m_events.reset();
    // The connection stays open for the other adapters, so what this grabber holds is given
    // back here rather than by closing it.
    if (xcb_connection_t* connection = this->connection()) {
        for (const Held& held : m_held)
            ungrabInEveryLockState(held.keycode, held.modifiers);
        if (m_keyDown && !m_lent && !m_upAsOf)
            xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
        xcb_flush(connection);
    }
    setGrabActive(false);
}

bool XcbKeyGrabber::connect()
{
    xcb_connection_t* connection = m_x11.get();
    if (!connection)
        return false;
    m_connected = true;
    m_root = m_x11.root();
    m_masks = X11ModifierMasks::query(connection);
    m_events = m_x11.listen({[this](const xcb_generic_event_t& event) { handleEvent(event); },
                             [this] { connectionLost(); }});

    // A new keymap (setxkbmap, a layout switch that loads one, another keyboard) may move
    // Super, Alt or the lock keys to other modifiers. Without XKB the core MappingNotify,
    // which every client gets, says the same.
    constexpr uint16_t notices =
        XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY;
    if (m_x11.selectKeyboardNotices(notices)) {
        // Held keys then repeat as presses alone rather than release-press pairs, which is
        // what lets a held shortcut fire only once.
        constexpr uint32_t detectableRepeat = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
        xcb_discard_reply(connection,
                          xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD,
                                                   detectableRepeat, detectableRepeat, 0, 0, 0)
                              .sequence);
    }
    return true;
}

xcb_connection_t* XcbKeyGrabber::connection()
{
    if (!m_connected)
        return nullptr;
    // Asking may find the connection dropped, which connectionLost() hears first.
    xcb_connection_t* connection = m_x11.get();
    return m_connected ? connection : nullptr;
}

void XcbKeyGrabber::connectionLost()
{
    if (!m_connected)
        return;
    Log::hotkey().error(QStringLiteral("global hotkeys lost: X connection closed"));
    m_connected = false;
    m_events.reset();
    // Closing the connection ended its grabs, so the keyboard is not held any more.
    setGrabActive(false);
    m_keyDown.reset();
    m_lent = false;
}

GlobalKeyGrabber::Grab XcbKeyGrabber::grab(uint32_t id, const HotkeyShortcut& combination)
{
    if (!connection())
        return {unavailable, 0};
    const std::optional<uint32_t> keycode =
        KeyPositions::xKeycodeForVirtualKey(combination.keyCode);
    const std::optional<uint16_t> modifiers = m_masks.forCarbon(combination.carbonModifiers);
    if (!keycode || !modifiers)
        return {noSuchKey, 0};
    // X lets a client grab what it already holds and then forgets which grab was which, so
    // a second grab of the same keys is refused here, as it would be for another client.
    const bool alreadyHeld = std::any_of(m_held.begin(), m_held.end(), [&](const Held& held) {
        return held.keycode == *keycode && held.modifiers == *modifiers;
    });
    if (alreadyHeld)
        return {heldElsewhere, 0};

    const int status = grabInEveryLockState(uint8_t(*keycode), *modifiers);
    if (status != ok)
        return {status, 0};
    m_held.push_back({++m_lastHandle, id, combination, uint8_t(*keycode), *modifiers});
    return {ok, m_lastHandle};
}

void XcbKeyGrabber::release(Handle handle)
{
    const auto held = std::find_if(m_held.begin(), m_held.end(),
                                   [handle](const Held& entry) { return entry.handle == handle; });
    if (held == m_held.end())
        return;
    if (connection())
        ungrabInEveryLockState(held->keycode, held->modifiers);
    m_held.erase(held);
}

int XcbKeyGrabber::grabInEveryLockState(uint8_t keycode, uint16_t modifiers)
{
    xcb_connection_t* connection = this->connection();
    if (!connection)
        return unavailable;
    std::vector<xcb_void_cookie_t> cookies;
    for (uint16_t state : m_masks.withLockCombinations(modifiers))
        cookies.push_back(xcb_grab_key_checked(connection, 0, m_root, state, keycode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    int status = ok;
    for (const xcb_void_cookie_t& cookie : cookies) {
        XcbReply<xcb_generic_error_t> error(xcb_request_check(connection, cookie));
        if (error && status == ok)
            status = error->error_code;
    }
    if (status == ok && xcb_connection_has_error(connection))
        status = unavailable;
    // Half a shortcut would fire only with some lock keys on; better none at all.
    if (status != ok)
        ungrabInEveryLockState(keycode, modifiers);
    return status;
}

void XcbKeyGrabber::ungrabInEveryLockState(uint8_t keycode, uint16_t modifiers)
{
    xcb_connection_t* connection = this->connection();
    if (!connection)
        return;
    // Ungrabbing only ever gives back this client's own grabs, so the lock states another
    // client holds are left alone.
    std::vector<xcb_void_cookie_t> cookies;
    for (uint16_t state : m_masks.withLockCombinations(modifiers))
        cookies.push_back(xcb_ungrab_key_checked(connection, keycode, m_root, state));
    // Wait until the server has applied them: whoever asks for the key next (another
    // application, or the shortcut recorder's new choice) must find it free.
    for (const xcb_void_cookie_t& cookie : cookies)
        std::free(xcb_request_check(connection, cookie));
}

void XcbKeyGrabber::handleEvent(const xcb_generic_event_t& event)
{
    const uint8_t type = event.response_type & 0x7f;
    if (type == XCB_KEY_PRESS) {
        const auto& press = reinterpret_cast<const xcb_key_press_event_t&>(event);
        handleKeyPress(press.detail, press.state, press.sequence);
    } else if (type == XCB_KEY_RELEASE) {
        handleKeyRelease(reinterpret_cast<const xcb_key_release_event_t&>(event).detail);
    } else if (type == XCB_MAPPING_NOTIFY) {
        const auto& mapping = reinterpret_cast<const xcb_mapping_notify_event_t&>(event);
        if (mapping.request != XCB_MAPPING_POINTER)
            keymapChanged();
    } else if (type != 0 && type == m_x11.xkbEvent() &&
               reinterpret_cast<const xcb_xkb_new_keyboard_notify_event_t&>(event).xkbType !=
                   XCB_XKB_STATE_NOTIFY) {
        // The connection's other users select the state notices; here only keymaps count.
        keymapChanged();
    }
}

void XcbKeyGrabber::handleKeyPress(uint8_t keycode, uint16_t state, uint16_t sequence)
{
    if (m_keyDown == keycode && (!m_upAsOf || int16_t(uint16_t(sequence - *m_upAsOf)) < 0))
        return;
    const uint16_t modifiers = state & modifierBits & ~m_masks.lockMask();
    std::vector<uint32_t> ids;
    for (const Held& held : m_held) {
        if (held.keycode == keycode && held.modifiers == modifiers)
            ids.push_back(held.id);
    }
    if (ids.empty())
        return;
    // The press made this connection the keyboard's owner until the key goes up.
    m_keyDown = keycode;
    m_upAsOf.reset();
    m_lent = false;
    setGrabActive(true);
    QMetaObject::invokeMethod(
        &m_context,
        [this, ids] {
            for (uint32_t id : ids) {
                if (onPressed)
                    onPressed(id);
            }
        },
        Qt::QueuedConnection);
}

void XcbKeyGrabber::handleKeyRelease(uint8_t keycode)
{
    if (m_keyDown != keycode)
        return;
    m_keyDown.reset();
    m_upAsOf.reset();
    // The grab a press makes ends with its release, the one reclaim() makes does not.
    if (xcb_connection_t* connection = this->connection()) {
        xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
        xcb_flush(connection);
    }
    setGrabActive(false);
}

void XcbKeyGrabber::setGrabActive(bool active)
{
    if (m_ownGrab)
        m_ownGrab->setActive(active);
}

bool XcbKeyGrabber::lend()
{
    xcb_connection_t* connection = this->connection();
    if (!connection || !m_keyDown || m_lent || m_upAsOf)
        return false;
    xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
    // A round trip: once it is back, the server has let go and sent the window in front its
    // focus, before anyone asks that window where its focus is.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    m_lent = true;
    setGrabActive(false);
    return true;
}

void XcbKeyGrabber::reclaim()
{
    xcb_connection_t* connection = this->connection();
    if (!m_lent || !connection || !m_keyDown)
        return;
    m_lent = false;
    const uint8_t key = *m_keyDown;
    // Whether the key is down, and the request after which the server said so.
    const auto ask = [connection, key] {
        const xcb_query_keymap_cookie_t asked = xcb_query_keymap(connection);
        const XcbReply<xcb_query_keymap_reply_t> keys(
            xcb_query_keymap_reply(connection, asked, nullptr));
        const bool down = keys && (keys->keys[key / 8] & (1U << (key % 8))) != 0;
        return std::pair{down, uint16_t(asked.sequence)};
    };
    // Taken only while the key is down, and asked about again once taken: a release in
    // between went to the window.
    auto [down, asOf] = ask();
    if (down) {
        const XcbReply<xcb_grab_keyboard_reply_t> grab(
            xcb_grab_keyboard_reply(connection,
                                    xcb_grab_keyboard(connection, 0, m_root, XCB_CURRENT_TIME,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                    nullptr));
        if (grab && grab->status == XCB_GRAB_STATUS_SUCCESS) {
            std::tie(down, asOf) = ask();
            if (down) {
                setGrabActive(true);
                return;
            }
            xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
            xcb_flush(connection);
        }
    }
    // The release went to the window (or to the client that holds the keyboard now), so it
    // will not come here.
    m_upAsOf = asOf;
}

void XcbKeyGrabber::keymapChanged()
{
    xcb_connection_t* connection = this->connection();
    if (!connection)
        return;
    const X11ModifierMasks masks = X11ModifierMasks::query(connection);
    if (masks == m_masks)
        return;
    for (const Held& held : m_held)
        ungrabInEveryLockState(held.keycode, held.modifiers);
    m_masks = masks;
    for (Held& held : m_held) {
        const std::optional<uint16_t> modifiers =
            m_masks.forCarbon(held.combination.carbonModifiers);
        if (modifiers)
            held.modifiers = *modifiers;
        const int status =
            modifiers ? grabInEveryLockState(held.keycode, held.modifiers) : noSuchKey;
        if (status != ok)
            Log::hotkey().error(
                QStringLiteral("keymap changed: %1 could not be grabbed again: %2")
                    .arg(held.combination.displayString(m_layout), QString::number(status)));
    }
    Log::hotkey().info(QStringLiteral("keymap changed: modifiers moved, %1 hotkeys grabbed again")
                           .arg(QString::number(m_held.size())));
}
