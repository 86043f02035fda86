// SPDX-License-Identifier: MIT
#pragma once

#include "core/HotkeyShortcut.h"

#include <functional>

// The settings window. Main thread only; its shortcut recorder reports through the
// callbacks on the main thread.
class SettingsWindow {
public:
    SettingsWindow() = default;
    SettingsWindow(const SettingsWindow&) = delete;
    SettingsWindow& operator=(const SettingsWindow&) = delete;
    virtual ~SettingsWindow() = default;

    // Opens the window or brings it to the front; nothing when it cannot be shown.
    virtual void show() = 0;
    // The same, scrolled to the "AI service" section with the keyboard on its service picker.
    virtual void showAIService() = 0;

    // Answers whether the recorded shortcut could be registered.
    std::function<bool(const HotkeyShortcut&)> onHotkeyChange;
    std::function<void(bool isRecording)> onRecordingChange;
};
