// SPDX-License-Identifier: MIT
#pragma once

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
    // Types the command's chord once, every key pressed and released back to back. Any
    // modifier key still down is released first, so the target sees exactly this chord,
    // and the letter is found in the layout active at this moment. Nothing when keys
    // cannot be sent.
    virtual void post(EditCommand command, ChordStyle style) = 0;
};
