// SPDX-License-Identifier: MIT
#pragma once

#include "platform/OutsideClickWatcher.h"

// For desktops that cannot report clicks in other applications: the panel then closes
// only on Escape, its own buttons or the run flow.
class NullOutsideClickWatcher final : public OutsideClickWatcher {
public:
    bool start(std::function<void()>) override { return false; }
    void stop() override {}
    bool isWatching() const override { return false; }
};
