// SPDX-License-Identifier: MIT
#pragma once

#include "platform/GlobalKeyGrabber.h"
#include "platform/x11/OwnKeyboardGrab.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11ModifierMasks.h"

#include <QObject>
#include <memory>
#include <optional>
#include <vector>

// Global keys on X11: passive key grabs on the root window, made on the X connection the
// desktop wiring shares among the X11 adapters (never Qt's), whose events it listens to.
//
// A combination is grabbed once for every state the lock keys may be in (Caps Lock, Num
// Lock, Scroll Lock where the keymap has it), because X matches modifiers exactly and a
// shortcut must not stop working when Num Lock is on. Every grab is a checked request: when
// another client holds any of them, X answers BadAccess, the grabs made so far are undone
// and the error code is the status. Keys are placed by the fixed position table, so the
// grab stays on the same physical key whatever layout is active; when the keymap changes
// the modifiers that hold Super, Alt and the locks are looked up again and the held
// combinations are grabbed anew if they moved.
//
// A press of a held combination makes this connection the keyboard's owner until the key
// goes up, which it reports to the process's OwnKeyboardGrab when given one. Through that
// the keyboard can be lent back to the window in front while the key is still down (that
// window reports its focus only while it has the keyboard) and taken again afterwards.
// onPressed is called from the event loop, never from inside another adapter's request that
// happened to read the press. Main thread only; must not be destroyed from inside onPressed.
class XcbKeyGrabber final : public GlobalKeyGrabber {
public:
    // The layout names keys in the log; it, the connection and the grab record must outlive
    // the grabber.
    XcbKeyGrabber(KeyCharacters& layout, X11Connection& x11, OwnKeyboardGrab* ownGrab = nullptr);
    // On a connection of its own, as another application grabs (the hotkey self-test's rival).
    XcbKeyGrabber(KeyCharacters& layout, std::unique_ptr<X11Connection> own);
    ~XcbKeyGrabber() override;

    [[nodiscard]] Grab grab(uint32_t id, const HotkeyShortcut& combination) override;
    void release(Handle handle) override;

private:
    struct Held {
        Handle handle;
        uint32_t id;
        HotkeyShortcut combination;
        uint8_t keycode;
        uint16_t modifiers;
    };

    // On the shared connection when there is one, otherwise on its own.
    XcbKeyGrabber(KeyCharacters& layout, X11Connection* shared, OwnKeyboardGrab* ownGrab,
                  std::unique_ptr<X11Connection> own);

    // Reads the modifier masks and listens for keys and keymap changes; false (and nothing
    // held) without a display.
    [[nodiscard]] bool connect();
    // The connection the grabs are on; null once the server dropped it.
    xcb_connection_t* connection();
    // Grabs the key with the modifiers in every lock state; the first X error code, or 0.
    int grabInEveryLockState(uint8_t keycode, uint16_t modifiers);
    void ungrabInEveryLockState(uint8_t keycode, uint16_t modifiers);
    void handleEvent(const xcb_generic_event_t& event);
    void connectionLost();
    void handleKeyPress(uint8_t keycode, uint16_t state, uint16_t sequence);
    void handleKeyRelease(uint8_t keycode);
    void setGrabActive(bool active);
    // Ends the grab the press made while its key is still down; true when there was one.
    bool lend();
    // Grabs the keyboard again if the lent key is still down, so that its release comes here
    // and its repeat reaches nobody; otherwise its release went elsewhere and is taken as seen.
    void reclaim();
    void keymapChanged();

    KeyCharacters& m_layout;
    std::unique_ptr<X11Connection> m_own;
    X11Connection& m_x11;
    bool m_connected = false;
    uint32_t m_root = 0;
    X11ModifierMasks m_masks;
    std::vector<Held> m_held;
    Handle m_lastHandle = 0;
    OwnKeyboardGrab* m_ownGrab;
    // The key of the press that fired last, until it is released, so that key repeat does
    // not fire again.
    std::optional<uint8_t> m_keyDown;
    bool m_lent = false;
    // When the lent key was found up: the request after which the server saw it so. A press
    // of that key the server sent before then is repeat from while it was lent.
    std::optional<uint16_t> m_upAsOf;
    // Where the presses wait for the event loop; they go with it.
    QObject m_context;
    X11Connection::Subscription m_events;
};
