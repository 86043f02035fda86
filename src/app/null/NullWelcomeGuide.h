// SPDX-License-Identifier: MIT
#pragma once

#include "onboarding/guide/WelcomeGuide.h"

// No guide window.
class NullWelcomeGuide final : public WelcomeGuide {
public:
    void show() override {}
    void showIfFirstRun() override {}
};
