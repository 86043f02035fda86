// SPDX-License-Identifier: MIT
#include "core/KeyPositions.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyPositions, EveryEntryMapsBothWays)
{
    for (const KeyPositions::Entry& entry : KeyPositions::all()) {
        SCOPED_TRACE(entry.virtualKey);
        EXPECT_EQ(KeyPositions::xKeycodeForVirtualKey(entry.virtualKey), entry.xKeycode);
        EXPECT_EQ(KeyPositions::virtualKeyForXKeycode(entry.xKeycode), entry.virtualKey);
    }
    EXPECT_EQ(KeyPositions::xKeycodeForVirtualKey(17), 28u); // T
    EXPECT_EQ(KeyPositions::xKeycodeForVirtualKey(53), 9u);  // Esc
    EXPECT_EQ(KeyPositions::xKeycodeForVirtualKey(49), 65u); // Space
}

TEST(KeyPositions, KeysWithoutACounterpartHaveNone)
{
    // Fn, the JIS input-mode keys and gaps in the Apple numbering.
    for (uint32_t virtualKey : {52u, 63u, 66u, 68u, 70u, 77u, 102u, 104u, 108u, 112u, 127u, 500u}) {
        SCOPED_TRACE(virtualKey);
        EXPECT_EQ(KeyPositions::xKeycodeForVirtualKey(virtualKey), std::nullopt);
    }
    // Print Screen, Scroll Lock, Pause, the PC Help key, and numbers no key has.
    for (uint32_t xKeycode : {107u, 78u, 127u, 146u, 0u, 8u, 255u, 1000u}) {
        SCOPED_TRACE(xKeycode);
        EXPECT_EQ(KeyPositions::virtualKeyForXKeycode(xKeycode), std::nullopt);
    }
}

} // namespace
