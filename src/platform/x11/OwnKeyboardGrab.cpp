// SPDX-License-Identifier: MIT
#include "platform/x11/OwnKeyboardGrab.h"

namespace {
bool active = false;
} // namespace

namespace OwnKeyboardGrab {

void setActive(bool value)
{
    active = value;
}

bool isActive()
{
    return active;
}

} // namespace OwnKeyboardGrab
