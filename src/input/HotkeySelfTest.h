// SPDX-License-Identifier: MIT
#pragma once

class HotkeyRegistrar;

// The built-in diagnostic of global shortcut registration, switched on by the
// "hotkeySelfTest" default. Main thread only; called once at start-up.
class HotkeySelfTest {
public:
    HotkeySelfTest() = default;
    HotkeySelfTest(const HotkeySelfTest&) = delete;
    HotkeySelfTest& operator=(const HotkeySelfTest&) = delete;
    virtual ~HotkeySelfTest() = default;

    // Runs the checks against the registrar when the switch is on; nothing otherwise, and
    // nothing where the self-test is unsupported.
    virtual void runIfRequested(HotkeyRegistrar& registrar) = 0;
};
