// SPDX-License-Identifier: MIT
#include "platform/x11/OwnKeyboardGrab.h"

namespace {
bool active = false;
std::function<void()> listener;
} // namespace

namespace OwnKeyboardGrab {

void setActive(bool value)
{
    const bool changed = active != value;
    active = value;
    if (changed && listener)
        listener();
}

void setListener(std::function<void()> newListener)
{
    listener = std::move(newListener);
}

bool isActive()
{
    return active;
}

} // namespace OwnKeyboardGrab
