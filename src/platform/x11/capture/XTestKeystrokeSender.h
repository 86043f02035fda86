// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ports/KeystrokeSender.h"
#include "platform/x11/capture/X11Connection.h"

// Types the copy and paste chords with the XTest extension, as if on the keyboard. An X11
// key event cannot say "exactly these modifiers": the receiver combines it with whatever
// keys are down. So every modifier key still down is released first, and the letter is
// looked up by its keysym in the layout and group active at that moment. Main thread only.
class XTestKeystrokeSender final : public KeystrokeSender {
public:
    bool relevantModifiersHeld() override;
    bool shortcutKeyHeld() override;
    void post(EditCommand command, ChordStyle style) override;

private:
    X11Connection m_x11;
};
