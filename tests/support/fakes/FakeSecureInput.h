// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SecureInput.h"

// Secure input as the test sets it.
class FakeSecureInput final : public SecureInput {
public:
    bool isActive() const override { return active; }

    bool active = false;
};
