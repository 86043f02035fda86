// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SecureInput.h"

// Cannot tell, so the keyboard is taken to be free.
class NullSecureInput final : public SecureInput {
public:
    bool isActive() const override { return false; }
};
