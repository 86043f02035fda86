// SPDX-License-Identifier: MIT
#pragma once

#include "platform/OutsideClickWatcher.h"

#include <utility>

// A watcher that records how often a listener was installed and removed; click() plays
// a button press somewhere on the desktop.
class FakeOutsideClickWatcher final : public OutsideClickWatcher {
public:
    bool start(std::function<void()> onButtonPress) override
    {
        ++starts;
        if (!available)
            return false;
        m_callback = std::move(onButtonPress);
        return true;
    }
    void stop() override
    {
        if (!m_callback)
            return;
        ++stops;
        m_callback = nullptr;
    }
    bool isWatching() const override { return static_cast<bool>(m_callback); }

    // Delivers a press to the installed listener; false when none is installed.
    bool click()
    {
        if (!m_callback)
            return false;
        // The listener may remove itself while it runs, so it runs from a copy.
        auto callback = m_callback;
        callback();
        return true;
    }

    // False plays a desktop that cannot report presses.
    bool available = true;
    int starts = 0;
    int stops = 0;

private:
    std::function<void()> m_callback;
};
