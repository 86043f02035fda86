// SPDX-License-Identifier: MIT
#pragma once

// Who started an update check: the user from the menu (or the forced path), or the
// schedule. A scheduled find must not steal the focus from whatever the user is doing.
enum class UpdateCheckKind { userInitiated, scheduled };
