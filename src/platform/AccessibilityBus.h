// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

// The session's accessibility bus (AT-SPI), through which Quillmark reads the selected
// text of other applications directly instead of copying it. Desktops may ship it switched
// off; it can then be switched on for the whole session. Main thread only; answers arrive
// later on the main thread, so a bus that is slow to answer never holds up a window.
class AccessibilityBus {
public:
    enum class State {
        // No accessibility bus service answered.
        unknown,
        on,
        off,
    };

    AccessibilityBus() = default;
    AccessibilityBus(const AccessibilityBus&) = delete;
    AccessibilityBus& operator=(const AccessibilityBus&) = delete;
    virtual ~AccessibilityBus() = default;

    // Asks whether the bus is switched on. `done` is not called once this object is gone.
    virtual void readState(std::function<void(State)> done) = 0;
    // Switches the bus on for the session; `done` gets whether the service accepted it.
    // Applications started before keep running without it until they are restarted.
    virtual void switchOn(std::function<void(bool accepted)> done) = 0;
};
