// SPDX-License-Identifier: MIT
#pragma once

// Whether synthetic key presses would be blocked right now, because another client holds
// the keyboard (a password prompt, a screen locker). Main thread only.
class SecureInput {
public:
    SecureInput() = default;
    SecureInput(const SecureInput&) = delete;
    SecureInput& operator=(const SecureInput&) = delete;
    virtual ~SecureInput() = default;

    // True while key presses cannot reach other applications; false when it cannot tell.
    virtual bool isActive() const = 0;
};
