// SPDX-License-Identifier: MIT
#pragma once

#include "onboarding/ApplicationMover.h"

// Never moves anything: this copy always goes on launching.
class NullApplicationMover final : public ApplicationMover {
public:
    bool offerIfRunningFromDiskImage() override { return false; }
    void ejectSourceVolumeIfAsked() override {}
};
