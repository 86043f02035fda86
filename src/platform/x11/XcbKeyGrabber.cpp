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

XcbKeyGrabber::XcbKeyGrabber(KeyCharacters& layout, X11Display display, OwnKeyboardGrab* ownGrab)
    : m_layout(layout)
    , m_display(display)
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
    disconnect();
    // Deleted now rather than later, so that no read queued for this object outlives it.
    delete m_notifier.data();
}

bool XcbKeyGrabber::connect()
{
    const X11Display::Connection opened = m_display.open();
    xcb_connection_t* connection = opened.connection;
    if (!connection)
        return false;
    m_connection = connection;
    m_root = opened.root;
    m_masks = X11ModifierMasks::query(connection);

    // A new keymap (setxkbmap, a layout switch that loads one, another keyboard) may move
    // Super, Alt or the lock keys to other modifiers. Without XKB the core MappingNotify,
    // which every client gets, says the same.
    XcbReply<xcb_xkb_use_extension_reply_t> xkb(
        xcb_xkb_use_extension_reply(connection, xcb_xkb_use_extension(connection, 1, 0), nullptr));
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_xkb_id);
    if (xkb && xkb->supported && extension && extension->present) {
        constexpr uint16_t events =
            XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY;
        constexpr uint16_t mapParts = 0xff;
        XcbReply<xcb_generic_error_t> error(xcb_request_check(
            connection, xcb_xkb_select_events_checked(connection, XCB_XKB_ID_USE_CORE_KBD, events,
                                                      0, events, mapParts, mapParts, nullptr)));
        if (!error)
            m_xkbFirstEvent = extension->first_event;
        // Held keys then repeat as presses alone rather than release-press pairs, which is
        // what lets a held shortcut fire only once.
        constexpr uint32_t detectableRepeat = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
        xcb_discard_reply(connection,
                          xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD,
                                                   detectableRepeat, detectableRepeat, 0, 0, 0)
                              .sequence);
    }

    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read);
    QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier, [this] { readEvents(); });
    readEventsSoon();
    return true;
}

void XcbKeyGrabber::disconnect()
{
    if (!m_connection)
        return;
    // This may run inside the notifier's own signal (the server went away), so the notifier
    // is silenced now and deleted later.
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
    }
    X11Display::close(m_connection);
    m_connection = nullptr;
    // Closing the connection ends its grabs, so the keyboard is not held any more.
    setGrabActive(false);
    m_keyDown.reset();
    m_lent = false;
}

GlobalKeyGrabber::Grab XcbKeyGrabber::grab(uint32_t id, const HotkeyShortcut& combination)
{
    if (!m_connection)
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
    readEventsSoon();
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
    if (m_connection)
        ungrabInEveryLockState(held->keycode, held->modifiers);
    m_held.erase(held);
}

int XcbKeyGrabber::grabInEveryLockState(uint8_t keycode, uint16_t modifiers)
{
    std::vector<xcb_void_cookie_t> cookies;
    for (uint16_t state : m_masks.withLockCombinations(modifiers))
        cookies.push_back(xcb_grab_key_checked(m_connection, 0, m_root, state, keycode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    int status = ok;
    for (const xcb_void_cookie_t& cookie : cookies) {
        XcbReply<xcb_generic_error_t> error(xcb_request_check(m_connection, cookie));
        if (error && status == ok)
            status = error->error_code;
    }
    if (status == ok && xcb_connection_has_error(m_connection))
        status = unavailable;
    // Half a shortcut would fire only with some lock keys on; better none at all.
    if (status != ok)
        ungrabInEveryLockState(keycode, modifiers);
    return status;
}

void XcbKeyGrabber::ungrabInEveryLockState(uint8_t keycode, uint16_t modifiers)
{
    // Ungrabbing only ever gives back this client's own grabs, so the lock states another
    // client holds are left alone.
    std::vector<xcb_void_cookie_t> cookies;
    for (uint16_t state : m_masks.withLockCombinations(modifiers))
        cookies.push_back(xcb_ungrab_key_checked(m_connection, keycode, m_root, state));
    // Wait until the server has applied them: whoever asks for the key next (another
    // application, or the shortcut recorder's new choice) must find it free.
    for (const xcb_void_cookie_t& cookie : cookies)
        std::free(xcb_request_check(m_connection, cookie));
    readEventsSoon();
}

void XcbKeyGrabber::readEventsSoon()
{
    if (m_notifier)
        QMetaObject::invokeMethod(
            m_notifier.data(), [this] { readEvents(); }, Qt::QueuedConnection);
}

void XcbKeyGrabber::readEvents()
{
    while (m_connection) {
        std::unique_ptr<xcb_generic_event_t, FreeDeleter> event(xcb_poll_for_event(m_connection));
        if (!event) {
            if (xcb_connection_has_error(m_connection)) {
                Log::hotkey().error(QStringLiteral("global hotkeys lost: X connection closed"));
                disconnect();
            }
            return;
        }
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_KEY_PRESS) {
            const auto* press = reinterpret_cast<xcb_key_press_event_t*>(event.get());
            handleKeyPress(press->detail, press->state, press->sequence);
        } else if (type == XCB_KEY_RELEASE) {
            handleKeyRelease(reinterpret_cast<xcb_key_release_event_t*>(event.get())->detail);
        } else if (type == XCB_MAPPING_NOTIFY) {
            const auto* mapping = reinterpret_cast<xcb_mapping_notify_event_t*>(event.get());
            if (mapping->request != XCB_MAPPING_POINTER)
                keymapChanged();
        } else if (m_xkbFirstEvent != 0 && type == m_xkbFirstEvent) {
            // Only keymap changes were selected from XKB.
            keymapChanged();
        }
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
    for (uint32_t id : ids) {
        if (onPressed)
            onPressed(id);
    }
}

void XcbKeyGrabber::handleKeyRelease(uint8_t keycode)
{
    if (m_keyDown != keycode)
        return;
    m_keyDown.reset();
    m_upAsOf.reset();
    // The grab a press makes ends with its release, the one reclaim() makes does not.
    xcb_ungrab_keyboard(m_connection, XCB_CURRENT_TIME);
    xcb_flush(m_connection);
    setGrabActive(false);
}

void XcbKeyGrabber::setGrabActive(bool active)
{
    if (m_ownGrab)
        m_ownGrab->setActive(active);
}

bool XcbKeyGrabber::lend()
{
    if (!m_connection || !m_keyDown || m_lent || m_upAsOf)
        return false;
    xcb_ungrab_keyboard(m_connection, XCB_CURRENT_TIME);
    // A round trip: once it is back, the server has let go and sent the window in front its
    // focus, before anyone asks that window where its focus is.
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    readEventsSoon();
    m_lent = true;
    setGrabActive(false);
    return true;
}

void XcbKeyGrabber::reclaim()
{
    if (!m_lent || !m_connection || !m_keyDown)
        return;
    m_lent = false;
    const uint8_t key = *m_keyDown;
    // Whether the key is down, and the request after which the server said so.
    const auto ask = [this, key] {
        const xcb_query_keymap_cookie_t asked = xcb_query_keymap(m_connection);
        const XcbReply<xcb_query_keymap_reply_t> keys(
            xcb_query_keymap_reply(m_connection, asked, nullptr));
        const bool down = keys && (keys->keys[key / 8] & (1U << (key % 8))) != 0;
        return std::pair{down, uint16_t(asked.sequence)};
    };
    // Taken only while the key is down, and asked about again once taken: a release in
    // between went to the window.
    auto [down, asOf] = ask();
    if (down) {
        const XcbReply<xcb_grab_keyboard_reply_t> grab(
            xcb_grab_keyboard_reply(m_connection,
                                    xcb_grab_keyboard(m_connection, 0, m_root, XCB_CURRENT_TIME,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                    nullptr));
        if (grab && grab->status == XCB_GRAB_STATUS_SUCCESS) {
            std::tie(down, asOf) = ask();
            if (down) {
                readEventsSoon();
                setGrabActive(true);
                return;
            }
            xcb_ungrab_keyboard(m_connection, XCB_CURRENT_TIME);
            xcb_flush(m_connection);
        }
    }
    readEventsSoon();
    // The release went to the window (or to the client that holds the keyboard now), so it
    // will not come here.
    m_upAsOf = asOf;
}

void XcbKeyGrabber::keymapChanged()
{
    const X11ModifierMasks masks = X11ModifierMasks::query(m_connection);
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
