// SPDX-License-Identifier: MIT
#pragma once

#include "input/HotkeySelfTest.h"

// No self-test.
class NullHotkeySelfTest final : public HotkeySelfTest {
public:
    void runIfRequested(HotkeyRegistrar&) override {}
};
