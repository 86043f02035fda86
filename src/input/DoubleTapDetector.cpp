// SPDX-License-Identifier: MIT
#include "input/DoubleTapDetector.h"

bool DoubleTapDetector::flagsChanged(uint64_t flags, Timestamp now)
{
    const uint64_t pressed = flags & relevantModifierMask;
    const uint64_t prev = previousPressed;
    previousPressed = pressed;

    // A press that follows another held modifier (even the watched one left over from a chord)
    // is not "alone": it must not start a tap.
    const bool alone = pressed == modifier && prev == 0;
    if (pressed != 0 && !alone) {
        isContaminated = true;
        lastTapEndedAt.reset();
        return false;
    }
    if (alone) {
        pressedAt = now;
        isContaminated = false;
        return false;
    }

    // Every relevant modifier is up: either a release or a change of ignored flags only.
    if (!pressedAt || isContaminated || now - *pressedAt > timeLimit) {
        lastTapEndedAt.reset();
        pressedAt.reset();
        return false;
    }
    if (lastTapEndedAt && *pressedAt - *lastTapEndedAt <= timeLimit) {
        // Forgetting both ends means a third tap starts a new pair instead of firing again.
        lastTapEndedAt.reset();
        pressedAt.reset();
        return true;
    }
    lastTapEndedAt = now;
    pressedAt.reset();
    return false;
}

void DoubleTapDetector::keyPressed()
{
    isContaminated = true;
    lastTapEndedAt.reset();
}
