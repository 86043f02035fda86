// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ports/HotkeySelfTest.h"

// No self-test.
class NullHotkeySelfTest final : public HotkeySelfTest {
public:
    void runIfRequested(HotkeyRegistrar&) override {}
};
