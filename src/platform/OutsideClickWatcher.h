// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

// Reports left and right button presses anywhere on the desktop, whichever application
// they go to, without taking them away from it. The floating panel uses it to close
// when the user clicks elsewhere. At most one listener is active at a time. Main thread
// only; presses are delivered as callbacks on the main thread.
class OutsideClickWatcher {
public:
    OutsideClickWatcher() = default;
    OutsideClickWatcher(const OutsideClickWatcher&) = delete;
    OutsideClickWatcher& operator=(const OutsideClickWatcher&) = delete;
    virtual ~OutsideClickWatcher() = default;

    // Installs the listener, replacing the callback of one already installed; false when
    // the desktop cannot report presses (no X server, no XInput2), and then nothing is
    // reported until a later start succeeds.
    [[nodiscard]] virtual bool start(std::function<void()> onButtonPress) = 0;
    // Removes the listener; nothing when none is installed.
    virtual void stop() = 0;
    // Whether a listener is installed right now.
    virtual bool isWatching() const = 0;
};
