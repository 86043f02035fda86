// SPDX-License-Identifier: MIT
#pragma once

#include "core/DoubleTapModifier.h"

#include <functional>

// Watches the keyboard for a double tap of one modifier key. Main thread only;
// onDoubleTap is called on the main thread.
class DoubleTapTrigger {
public:
    DoubleTapTrigger() = default;
    DoubleTapTrigger(const DoubleTapTrigger&) = delete;
    DoubleTapTrigger& operator=(const DoubleTapTrigger&) = delete;
    virtual ~DoubleTapTrigger() = default;

    // Watches this modifier from now on (off disarms) and re-arms even when unchanged;
    // where key events cannot be observed it stays disarmed.
    virtual void apply(DoubleTapModifier modifier) = 0;
    // Stops or resumes watching while a shortcut is being recorded; nothing when unchanged.
    virtual void setSuspended(bool suspended) = 0;
    // A global hotkey swallowed a key press the watcher never saw: the half-seen tap is
    // forgotten so a chord's modifier is not counted. Nothing while disarmed.
    virtual void noteHotkeyPress() = 0;

    std::function<void()> onDoubleTap;
};
