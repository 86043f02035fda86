// SPDX-License-Identifier: MIT
#pragma once

#include "input/DoubleTapDetector.h"

#include <QString>
#include <span>
#include <vector>

// A scripted run of modifier changes and key presses, with the number of double taps a
// detector watching Option must report for it. The hotkey self-test replays these at launch
// to prove the detector of this very build.
struct DoubleTapScript {
    struct Step {
        enum class Kind { flags, key };
        Kind kind;
        // The full modifier flags after a flags change; unused for a key press.
        uint64_t flags;
        // Since the previous step.
        DoubleTapDetector::Timestamp after;
    };

    QString name;
    std::vector<Step> steps;
    int expectedFires;
    // "expect 1 fire", "expect exactly 1 fire", "expect 2 fires", …
    QString expectation;

    // The thirteen scripts of the self-test, in the order it runs them.
    static std::span<const DoubleTapScript> selfTestScripts();

    // Feeds the steps to a fresh detector watching Option, the first step at `start`; key
    // steps go through the rule for a key press. Answers how often it fired.
    int countFires(DoubleTapDetector::Timestamp start) const;
};
