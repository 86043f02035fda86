// SPDX-License-Identifier: MIT
#pragma once

#include "platform/KeystrokeSender.h"

class WaylandConnection;
class WaylandKeymap;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

// Types the copy and paste chords through a virtual keyboard of its own
// (zwp_virtual_keyboard_manager_v1, offered by wlroots compositors such as sway). The
// keyboard gets the user's full keymap once, as soon as the compositor has sent it, and
// keeps it: the compositor hands a virtual keyboard's keymap to the focused application
// whenever that keyboard types, and GTK 3 ignores Ctrl chords, arrows and BackSpace from a
// keymap rebuilt per key. A new keymap goes up only when the user's layout changed.
//
// What X11 needs and Wayland does not have:
// - Held keys. Each keyboard carries its own modifier state here and the chord's
//   modifiers are set with the protocol's own request, so Alt or Super the user still holds
//   on the real keyboard cannot turn Ctrl+C into Ctrl+Alt+C, and nothing has to be released
//   first. The compositor tells which keys are down only to the client with the keyboard
//   focus, which Quillmark never has: relevantModifiersHeld() and shortcutKeyHeld() are
//   false, and keysChanged() completes at once.
// - Another client holding the keyboard. No client can grab it on Wayland; only the
//   compositor's own lock screen takes it, and then no application gets the keys at all.
//
// The connection and keymap are borrowed and must outlive the sender. Main thread only.
class VirtualKeyboardSender final : public KeystrokeSender {
public:
    VirtualKeyboardSender(WaylandConnection& connection, const WaylandKeymap& keymap);
    ~VirtualKeyboardSender() override;

    static bool isOffered(const WaylandConnection& connection);

    bool relevantModifiersHeld() override { return false; }
    QCoro::Task<> keysChanged(std::chrono::milliseconds timeout) override;
    // False, with a log line, while the user's keymap has not arrived or the compositor is
    // gone: then nothing could be typed.
    bool post(EditCommand command, ChordStyle style) override;

private:
    // Uploads the keymap when it is there and differs from the one the keyboard has.
    void uploadKeymap();

    WaylandConnection& m_connection;
    const WaylandKeymap& m_keymap;
    zwp_virtual_keyboard_manager_v1* m_manager = nullptr;
    zwp_virtual_keyboard_v1* m_keyboard = nullptr;
    QByteArray m_uploaded;
    uint32_t m_time = 0;
};
