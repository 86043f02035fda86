// SPDX-License-Identifier: MIT
#pragma once

#include "input/DoubleTapTrigger.h"

// No key observation: the double tap stays disarmed whatever is applied.
class NullDoubleTapTrigger final : public DoubleTapTrigger {
public:
    void apply(DoubleTapModifier) override {}
    void setSuspended(bool) override {}
    void noteHotkeyPress() override {}
};
