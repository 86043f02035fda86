// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <qcoro/qcorotask.h>

// The two editing commands that capture and paste-back type into another application.
enum class EditCommand { copy, paste };

// How the target application expects them: Ctrl+C and Ctrl+V, or, in terminals, where
// Ctrl+C interrupts the running program, Ctrl+Shift+C and Ctrl+Shift+V.
enum class ChordStyle { standard, terminal };

// Synthetic key presses into whichever window has the keyboard focus. Main thread only.
class KeystrokeSender {
public:
    KeystrokeSender() = default;
    KeystrokeSender(const KeystrokeSender&) = delete;
    KeystrokeSender& operator=(const KeystrokeSender&) = delete;
    virtual ~KeystrokeSender() = default;

    // Whether Shift, Control, Alt or Super is held down right now (the lock keys do not
    // count); false when it cannot tell.
    virtual bool relevantModifiersHeld() = 0;
    // Whether the key of this application's own global shortcut is still down. Until it
    // goes up this process owns the keyboard: keys typed come back to it, and toolkits
    // report their windows as inactive and nothing in them as focused.
    virtual bool shortcutKeyHeld() { return false; }
    // Completes at the next change the two questions above could answer differently (a
    // modifier going up or down, the shortcut's key released), or once `timeout` has
    // passed, whichever comes first; the caller then asks again. Woken by the desktop's
    // own events, not by asking again and again.
    virtual QCoro::Task<> keysChanged(std::chrono::milliseconds timeout) = 0;
    // Gives the keyboard back to the window in front while the shortcut's key is still down,
    // so that the window reports its focus again; true when this process held it and the
    // window has it now. Keys typed until reclaimKeyboard() reach that window.
    virtual bool lendKeyboard() { return false; }
    // Takes the keyboard back while the shortcut's key is still down, so that neither its
    // repeat nor its release reaches the window; nothing once it is up.
    virtual void reclaimKeyboard() {}
    // Types the command's chord once, every key pressed and released back to back. Any
    // modifier key still down is released first, so the target sees exactly this chord,
    // and pressed again afterwards, so a key of the user's shortcut that is still held
    // cannot reach the target as plain text; the letter is found in the layout active at
    // this moment. Right before the first key it asks whether another client holds the
    // keyboard (a password prompt): then nothing is typed and the answer is false. Every
    // key Quillmark types goes through here, so no caller can skip that question. True
    // otherwise, also when keys cannot be sent at all.
    [[nodiscard]] virtual bool post(EditCommand command, ChordStyle style) = 0;
    // Whether keys typed here reach the application in front at all; false where the
    // desktop lets no client type (GNOME under Wayland without its remote-desktop consent).
    virtual bool canPost() const { return true; }
};
