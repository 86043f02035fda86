// SPDX-License-Identifier: MIT
#pragma once

#include "platform/KeystrokeSender.h"

// A desktop that lets no client type (GNOME under Wayland): nothing is typed, and canPost()
// says so, so that the copy fallback is skipped and Replace leaves the result on the
// clipboard for the user.
class NullKeystrokeSender final : public KeystrokeSender {
public:
    bool relevantModifiersHeld() override { return false; }
    QCoro::Task<> keysChanged(std::chrono::milliseconds /*timeout*/) override { co_return; }
    bool post(EditCommand /*command*/, ChordStyle /*style*/) override { return true; }
    bool canPost() const override { return false; }
};
