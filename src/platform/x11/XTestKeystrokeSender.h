// SPDX-License-Identifier: MIT
#pragma once

#include "platform/KeystrokeSender.h"
#include "platform/SecureInput.h"
#include "platform/x11/X11Connection.h"

// Types the copy and paste chords with the XTest extension, as if on the keyboard. An X11
// key event cannot say "exactly these modifiers": the receiver combines it with whatever
// keys are down. So every modifier key still down is released first, and the letter is
// looked up by its keysym in the layout and group active at that moment. The modifiers
// released are pressed again once the chord is typed: the user is still holding them, and
// the next key of their shortcut must arrive with them, not as a plain letter. Before the
// first key the secure input probe is asked, so nothing is typed into a password prompt
// that took the keyboard while the caller was waiting. The probe is borrowed and must
// outlive the sender. Main thread only.
class XTestKeystrokeSender final : public KeystrokeSender {
public:
    explicit XTestKeystrokeSender(const SecureInput& secureInput, X11Display display = {})
        : m_secureInput(secureInput)
        , m_x11(display)
    {}

    bool relevantModifiersHeld() override;
    bool shortcutKeyHeld() override;
    bool post(EditCommand command, ChordStyle style) override;

private:
    const SecureInput& m_secureInput;
    X11Connection m_x11;
};
