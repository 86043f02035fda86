// SPDX-License-Identifier: MIT
#include "core/DoubleTapModifier.h"

#include <gtest/gtest.h>

namespace {

struct ModifierRow {
    DoubleTapModifier modifier;
    const char* raw;
    uint64_t flag;
    const char* symbol; // in log lines
    const char* label;
    const char* title;
};

// In the order the pickers list them.
// clang-format off
constexpr ModifierRow rows[] = {
    {DoubleTapModifier::off, "off", 0, "off", "Off", "Off"},
    {DoubleTapModifier::option, "option", 0x80000, "⌥", "Alt", "Alt — tap twice"},
    {DoubleTapModifier::command, "command", 0x100000, "⌘", "Super", "Super — tap twice"},
    {DoubleTapModifier::control, "control", 0x40000, "⌃", "Ctrl", "Ctrl — tap twice"},
    {DoubleTapModifier::shift, "shift", 0x20000, "⇧", "Shift", "Shift — tap twice"},
};
// clang-format on

TEST(DoubleTapModifier, EveryCaseInPickerOrderWithItsTexts)
{
    const auto cases = allCases(CasesOf<DoubleTapModifier>{});
    ASSERT_EQ(cases.size(), std::size(rows));
    for (size_t i = 0; i < cases.size(); ++i) {
        const ModifierRow& row = rows[i];
        SCOPED_TRACE(row.raw);
        EXPECT_EQ(cases[i], row.modifier);
        EXPECT_EQ(rawValue(row.modifier), QString::fromUtf8(row.raw));
        EXPECT_EQ(watchedFlag(row.modifier), row.flag);
        EXPECT_EQ(symbol(row.modifier), QString::fromUtf8(row.symbol));
        EXPECT_EQ(keyLabel(row.modifier), QString::fromUtf8(row.label));
        EXPECT_EQ(title(row.modifier), QString::fromUtf8(row.title));
        EXPECT_EQ(fromRawValue<DoubleTapModifier>(QString::fromUtf8(row.raw)), row.modifier);
    }
}

TEST(DoubleTapModifier, TextThatNamesNoCaseGivesNothing)
{
    for (const char* raw : {"Option", "OFF", "", "alt", "super", " shift", "fn"}) {
        SCOPED_TRACE(raw);
        EXPECT_EQ(fromRawValue<DoubleTapModifier>(QString::fromUtf8(raw)), std::nullopt);
    }
}

} // namespace
