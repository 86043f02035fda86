// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

// Decides when one watched modifier key has been tapped twice in quick succession. It only
// takes events and returns decisions: the monitor feeds it every modifier-flag change and
// every key press it observes, and it runs for each of them in every application, so it does
// a fixed amount of work per event and never allocates.
//
// Only Shift, Control, Option and Command take part (relevantModifierMask); Caps Lock, Fn,
// keypad, help and the device-dependent left/right bits are masked away, so both keys of a
// modifier count alike. "pressed" is the set of those held after a flags change, "prev" the set
// held before it.
//
//   flags change, pressed == modifier and prev empty   (the watched key went down alone)
//       -> pressedAt = now, isContaminated = false
//   flags change, pressed not empty otherwise          (another modifier, a chord, leftovers)
//       -> isContaminated = true, lastTapEndedAt forgotten
//   flags change, pressed empty                        (a release, or only ignored flags)
//       no clean press pending       -> forget both times
//       held longer than timeLimit   -> forget both times
//       lastTapEndedAt within timeLimit before pressedAt
//                                    -> DOUBLE TAP, forget both times
//       otherwise                    -> lastTapEndedAt = now, pressedAt forgotten
//   key press (also one swallowed by a global hotkey)
//       -> isContaminated = true, lastTapEndedAt forgotten, pressedAt kept
//
// Both limits (how long a tap may be held, and the pause from the first release to the second
// press) are inclusive. Times are integer microseconds on a monotonic clock rather than
// seconds in a double: a tap held from 1.0 s to 1.3 s measures 0.30000000000000004 s in
// doubles and would miss a limit that is meant to include exactly 0.3 s. Event sources give
// milliseconds or microseconds, which convert to this type without loss.
struct DoubleTapDetector {
    using Timestamp = std::chrono::microseconds;

    // Shift 0x20000, Control 0x40000, Option 0x80000, Command 0x100000.
    static constexpr uint64_t relevantModifierMask = 0x1E0000;
    // The longest tap and the longest pause between the two taps of a pair.
    static constexpr Timestamp timeLimit = std::chrono::milliseconds(300);

    // The one watched modifier's flag (Option 0x80000, Command 0x100000, Control 0x40000 or
    // Shift 0x20000).
    uint64_t modifier = 0;
    // When the watched modifier last went down alone.
    std::optional<Timestamp> pressedAt;
    // When the last clean tap was released: the first half of a possible double tap.
    std::optional<Timestamp> lastTapEndedAt;
    // Something other than the watched modifier alone took part in the current press.
    bool isContaminated = false;
    // The relevant modifiers held after the previous flags change.
    uint64_t previousPressed = 0;

    DoubleTapDetector() = default;
    explicit DoubleTapDetector(uint64_t watchedModifier)
        : modifier(watchedModifier)
    {}

    // Feeds the full modifier-flag mask of a flags-changed event observed at `now`; true when
    // this change completes a double tap.
    [[nodiscard]] bool flagsChanged(uint64_t flags, Timestamp now);
    // A key went down, whether the monitor saw it or a global hotkey swallowed it: the current
    // press is no longer a clean tap, and no pending first tap may pair with a later one.
    void keyPressed();
};
