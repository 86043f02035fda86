// SPDX-License-Identifier: MIT
#pragma once

#include "app/AppComponents.h"

// The components a desktop without an X display cannot offer. The wiring fills in the real
// adapters it has and lets this complete the rest, so every capability that is missing
// says "not available" in one place instead of being checked for all over the flow.
namespace NullComponents {

// Sets every entry that is still empty to its null adapter.
void fillMissing(AppComponents& components);

} // namespace NullComponents
