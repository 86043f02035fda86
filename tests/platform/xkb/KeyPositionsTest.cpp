// SPDX-License-Identifier: MIT
#include "core/KeyPositions.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <xkbcommon/xkbcommon.h>

namespace {

// Each virtual key of the Apple keyboard and the XKB name of the PC key at the same place,
// checked against the evdev keycodes that X servers use.
// clang-format off
const std::map<uint32_t, std::string> expectedNames = {
    {0, "AC01"}, {1, "AC02"}, {2, "AC03"}, {3, "AC04"}, {4, "AC06"}, {5, "AC05"},
    {6, "AB01"}, {7, "AB02"}, {8, "AB03"}, {9, "AB04"}, {10, "LSGT"}, {11, "AB05"},
    {12, "AD01"}, {13, "AD02"}, {14, "AD03"}, {15, "AD04"}, {16, "AD06"}, {17, "AD05"},
    {18, "AE01"}, {19, "AE02"}, {20, "AE03"}, {21, "AE04"}, {22, "AE06"}, {23, "AE05"},
    {24, "AE12"}, {25, "AE09"}, {26, "AE07"}, {27, "AE11"}, {28, "AE08"}, {29, "AE10"},
    {30, "AD12"}, {31, "AD09"}, {32, "AD07"}, {33, "AD11"}, {34, "AD08"}, {35, "AD10"},
    {36, "RTRN"}, {37, "AC09"}, {38, "AC07"}, {39, "AC11"}, {40, "AC08"}, {41, "AC10"},
    {42, "BKSL"}, {43, "AB08"}, {44, "AB10"}, {45, "AB06"}, {46, "AB07"}, {47, "AB09"},
    {48, "TAB"}, {49, "SPCE"}, {50, "TLDE"}, {51, "BKSP"}, {53, "ESC"},
    {54, "RWIN"}, {55, "LWIN"}, {56, "LFSH"}, {57, "CAPS"}, {58, "LALT"}, {59, "LCTL"},
    {60, "RTSH"}, {61, "RALT"}, {62, "RCTL"},
    {64, "FK17"}, {79, "FK18"}, {80, "FK19"}, {90, "FK20"},
    {65, "KPDL"}, {67, "KPMU"}, {69, "KPAD"}, {71, "NMLK"}, {75, "KPDV"}, {76, "KPEN"},
    {78, "KPSU"}, {81, "KPEQ"}, {82, "KP0"}, {83, "KP1"}, {84, "KP2"}, {85, "KP3"},
    {86, "KP4"}, {87, "KP5"}, {88, "KP6"}, {89, "KP7"}, {91, "KP8"}, {92, "KP9"},
    {72, "VOL+"}, {73, "VOL-"}, {74, "MUTE"},
    {93, "AE13"}, {94, "AB11"}, {95, "I129"}, {110, "COMP"},
    {122, "FK01"}, {120, "FK02"}, {99, "FK03"}, {118, "FK04"}, {96, "FK05"}, {97, "FK06"},
    {98, "FK07"}, {100, "FK08"}, {101, "FK09"}, {109, "FK10"}, {103, "FK11"}, {111, "FK12"},
    {105, "FK13"}, {107, "FK14"}, {113, "FK15"}, {106, "FK16"},
    {114, "INS"}, {115, "HOME"}, {116, "PGUP"}, {117, "DELE"}, {119, "END"}, {121, "PGDN"},
    {123, "LEFT"}, {124, "RGHT"}, {125, "DOWN"}, {126, "UP"},
};
// clang-format on

TEST(KeyPositions, EveryEntryMapsBothWays)
{
    for (const KeyPositions::Entry& entry : KeyPositions::all()) {
        SCOPED_TRACE(entry.virtualKey);
        EXPECT_EQ(KeyPositions::xKeycodeForVirtualKey(entry.virtualKey), entry.xKeycode);
        EXPECT_EQ(KeyPositions::virtualKeyForXKeycode(entry.xKeycode), entry.virtualKey);
    }
    EXPECT_EQ(KeyPositions::xKeycodeForVirtualKey(17), 28u);
    EXPECT_EQ(KeyPositions::xKeycodeForVirtualKey(53), 9u);
    EXPECT_EQ(KeyPositions::xKeycodeForVirtualKey(49), 65u);
}

TEST(KeyPositions, EachVirtualKeySitsOnTheSamePcKey)
{
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(
        xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES), xkb_context_unref);
    ASSERT_TRUE(context);
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap(
        xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS),
        xkb_keymap_unref);
    ASSERT_TRUE(keymap) << "no XKB data (xkb-data) installed";

    EXPECT_EQ(KeyPositions::all().size(), expectedNames.size());
    for (const auto& [virtualKey, name] : expectedNames) {
        SCOPED_TRACE(name);
        const std::optional<uint32_t> keycode = KeyPositions::xKeycodeForVirtualKey(virtualKey);
        ASSERT_TRUE(keycode.has_value());
        const char* actual = xkb_keymap_key_get_name(keymap.get(), *keycode);
        EXPECT_EQ(actual ? std::string(actual) : std::string("(none)"), name);
    }
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
