// SPDX-License-Identifier: MIT
#pragma once

#include "core/HotkeyShortcut.h"

// The active keyboard layout, asked what a key position types (see KeyCharacters). Main
// thread only.
class KeyboardLayout : public KeyCharacters {};
