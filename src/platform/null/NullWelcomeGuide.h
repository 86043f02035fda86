// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ports/WelcomeGuide.h"

// No guide window.
class NullWelcomeGuide final : public WelcomeGuide {
public:
    void show() override {}
    void showIfFirstRun() override {}
};
