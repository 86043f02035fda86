// SPDX-License-Identifier: MIT
#pragma once

#include "updates/Updater.h"

// No updates: checks are never possible.
class NullUpdater final : public Updater {
public:
    void checkForUpdates() override {}
    void updateNow() override {}
    bool canCheckForUpdates() const override { return false; }
};
