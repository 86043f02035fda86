// SPDX-License-Identifier: MIT
#pragma once

#include "platform/KeystrokeSender.h"
#include "platform/ShortcutHold.h"

class WaylandConnection;
class WaylandKeymap;
struct org_kde_kwin_fake_input;

// Types the copy and paste chords through KWin's fake input (org_kde_kwin_fake_input,
// version 4, which has keyboard keys). KWin offers it only to a program whose installed
// desktop entry lists the interface in X-KDE-Wayland-Interfaces; the sender introduces
// itself once, as the protocol asks. The keys go through KWin's one keyboard state with
// the user's own keymap, so only their positions are looked up here, in the keymap the
// compositor sends.
//
// What X11 needs and Wayland does not have:
// - Held keys. KWin tells which keys are down only to the client with the keyboard focus,
//   which Quillmark never has: relevantModifiersHeld() is false. Unlike a virtual keyboard,
//   fake keys join the seat's one modifier state: a modifier the user still holds joins the
//   chord (Ctrl+C becomes Ctrl+Alt+C, which copies nothing). So the sender waits for the
//   release of Quillmark's own shortcut, which kglobalaccel announces (the hold); without
//   a hold shortcutKeyHeld() is false and keysChanged() completes at once.
// - Another client holding the keyboard. No client can grab it on Wayland; only the
//   compositor's own lock screen takes it, and then no application gets the keys at all.
//
// The connection and keymap are borrowed and must outlive the sender. Main thread only.
class FakeInputSender final : public KeystrokeSender {
public:
    FakeInputSender(WaylandConnection& connection, const WaylandKeymap& keymap,
                    ShortcutHold* hold = nullptr);
    ~FakeInputSender() override;

    static bool isOffered(const WaylandConnection& connection);

    bool relevantModifiersHeld() override { return false; }
    bool shortcutKeyHeld() override;
    QCoro::Task<> keysChanged(std::chrono::milliseconds timeout) override;
    // False, with a log line, while the user's keymap has not arrived or the compositor is
    // gone: then nothing could be typed.
    bool post(EditCommand command, ChordStyle style) override;

private:
    WaylandConnection& m_connection;
    const WaylandKeymap& m_keymap;
    ShortcutHold* m_hold;
    org_kde_kwin_fake_input* m_fakeInput = nullptr;
};
