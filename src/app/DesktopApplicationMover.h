// SPDX-License-Identifier: MIT
#pragma once

#include "onboarding/ApplicationMover.h"

#include <memory>

// The move to ~/Applications for this process, with message boxes for its alerts and the
// real unmount tools.
namespace DesktopApplicationMover {
std::unique_ptr<ApplicationMover> make();
}
