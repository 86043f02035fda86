// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

// Whether this process holds the keyboard right now because one of its global keys is
// down. Pressing a grabbed key makes its grabber the keyboard's owner until the key is
// released, which a probe for another client's keyboard grab could not tell from a
// password prompt; the grabber says so here, and the probe believes it. Main thread only.
namespace OwnKeyboardGrab {
void setActive(bool active);
bool isActive();
// Told each time the grab begins or ends (the one keystroke sender waits for that); an
// empty function removes it.
void setListener(std::function<void()> listener);
} // namespace OwnKeyboardGrab
