// SPDX-License-Identifier: MIT
#pragma once

#include <QCoroTask>
#include <chrono>

// Whether the keys of Quillmark's own shortcut are still down, as the desktop that holds
// the shortcut for it reports (KDE's kglobalaccel announces each press and release). Keys
// typed meanwhile would join the ones the user holds. Main thread only.
class ShortcutHold {
public:
    ShortcutHold() = default;
    ShortcutHold(const ShortcutHold&) = delete;
    ShortcutHold& operator=(const ShortcutHold&) = delete;
    virtual ~ShortcutHold() = default;

    virtual bool isHeld() const = 0;
    // Completes at the next press or release, or once `timeout` has passed.
    virtual QCoro::Task<> changed(std::chrono::milliseconds timeout) = 0;
};
