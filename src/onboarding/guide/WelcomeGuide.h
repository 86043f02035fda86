// SPDX-License-Identifier: MIT
#pragma once

#include "core/DoubleTapModifier.h"
#include "core/HotkeyShortcut.h"

#include <functional>

// The first-run guide window. Main thread only; its controls report through the callbacks
// on the main thread.
class WelcomeGuide {
public:
    WelcomeGuide() = default;
    WelcomeGuide(const WelcomeGuide&) = delete;
    WelcomeGuide& operator=(const WelcomeGuide&) = delete;
    virtual ~WelcomeGuide() = default;

    // Opens the guide (or brings it to the front); nothing when it cannot be shown.
    virtual void show() = 0;
    // Opens the guide only if it was never shown before; nothing otherwise.
    virtual void showIfFirstRun() = 0;

    std::function<void()> onOpenSettings;
    // Answers whether the recorded shortcut could be registered.
    std::function<bool(const HotkeyShortcut&)> onHotkeyChange;
    std::function<void(bool isRecording)> onRecordingChange;
    std::function<void(DoubleTapModifier)> onDoubleTapChange;
};
