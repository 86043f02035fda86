// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "onboarding/ApplicationMover.h"

#include <memory>

// The move to ~/Applications for this process, with message boxes for its alerts and the
// real unmount tools. The clock must outlive the mover.
namespace DesktopApplicationMover {
std::unique_ptr<ApplicationMover> make(Clock& clock);
}
