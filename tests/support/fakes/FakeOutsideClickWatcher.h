// SPDX-License-Identifier: MIT
#pragma once

#include "platform/OutsideClickWatcher.h"

#include <utility>

// A watcher that counts how often a listener was installed and removed; click() plays a
// button press somewhere on the desktop. With `available` false it plays a desktop that
// cannot report presses.
class FakeOutsideClickWatcher final : public OutsideClickWatcher {
public:
    bool start(std::function<void()> onButtonPress) override
    {
        ++starts;
        if (available)
            m_callback = std::move(onButtonPress);
        return available;
    }
    void stop() override { stops += std::exchange(m_callback, nullptr) ? 1 : 0; }
    bool isWatching() const override { return static_cast<bool>(m_callback); }

    // Delivers a press to the installed listener, from a copy since the listener may remove
    // itself; false when none is installed.
    bool click()
    {
        const auto callback = m_callback;
        if (callback)
            callback();
        return static_cast<bool>(callback);
    }

    bool available = true;
    int starts = 0;
    int stops = 0;

private:
    std::function<void()> m_callback;
};
