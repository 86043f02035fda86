// SPDX-License-Identifier: MIT
#pragma once

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11ModifierMasks.h"

#include <QString>
#include <QStringList>
#include <cstdint>

struct xcb_connection_t;

// Another program on the same display: a connection of its own that can hold keys or the
// whole keyboard, as a password prompt or a second hotkey tool would. Each call waits until
// the server has carried it out.
class OtherXClient {
public:
    OtherXClient();
    OtherXClient(const OtherXClient&) = delete;
    OtherXClient& operator=(const OtherXClient&) = delete;

    bool isConnected() const { return m_connection != nullptr; }

    // 0, or the X error code the server answered.
    int grabKey(uint8_t keycode, uint16_t modifiers);
    void ungrabKey(uint8_t keycode, uint16_t modifiers);
    // The grab status: 0 when this client holds the keyboard now.
    int grabKeyboard();
    void ungrabKeyboard();

    // Shift, Lock, Control and Mod1 to Mod5 as they are in effect right now.
    uint16_t modifierState();
    X11ModifierMasks masks();
    // Turns every lock key off.
    void unlockAllModifiers();
    // Locks the keyboard to a layout group, as a layout switch shortcut would.
    void lockGroup(uint8_t group);

private:
    void sync();

    X11Connection m_x;
    xcb_connection_t* m_connection = nullptr;
    uint32_t m_root = 0;
};

// Another client holding the whole keyboard, as a password prompt does, from construction
// until release() or the end of the object.
class KeyboardGrab {
public:
    KeyboardGrab();
    ~KeyboardGrab();
    KeyboardGrab(const KeyboardGrab&) = delete;
    KeyboardGrab& operator=(const KeyboardGrab&) = delete;

    bool held() const { return m_held; }
    void release();

private:
    OtherXClient m_client;
    bool m_held = false;
};

// Keeps the display's keyboard as the test found it: the layout (with its modifier mapping)
// is put back, in its first group, and the lock keys are off.
class ScopedKeyboardState {
public:
    ScopedKeyboardState();
    ~ScopedKeyboardState();
    ScopedKeyboardState(const ScopedKeyboardState&) = delete;
    ScopedKeyboardState& operator=(const ScopedKeyboardState&) = delete;

    // setxkbmap with the arguments; true when it succeeded.
    static bool setxkbmap(const QStringList& arguments);

private:
    QStringList m_layout;
};
