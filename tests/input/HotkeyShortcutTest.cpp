// SPDX-License-Identifier: MIT
#include "input/HotkeyShortcut.h"

#include "platform/Platform.h"
#include "platform/fake/FakeKeyboardLayout.h"

#include <gtest/gtest.h>

namespace {

using Kind = HotkeyShortcut::Rejection::Kind;

const QString needsControlOrOptionMessage = QStringLiteral(
    "That combination needs ⌃ Control or ⌥ Option. Anything else either types a character or "
    "steals a ⌘ menu shortcut — Copy, Save, Quit — from every app.");

// A US-like layout for the keys these tests name through the layout.
class ScopedUsLayout {
public:
    ScopedUsLayout()
    {
        for (auto [keyCode, text] : {std::pair{0u, "a"},
                                     {5u, "g"},
                                     {17u, "t"},
                                     {18u, "1"},
                                     {19u, "2"},
                                     {20u, "3"},
                                     {21u, "4"},
                                     {23u, "5"}})
            layout.setText(keyCode, QString::fromUtf8(text));
        Platform::setKeyboardLayout(&layout);
    }
    ~ScopedUsLayout() { Platform::setKeyboardLayout(nullptr); }
    ScopedUsLayout(const ScopedUsLayout&) = delete;
    ScopedUsLayout& operator=(const ScopedUsLayout&) = delete;

    FakeKeyboardLayout layout;
};

TEST(HotkeyShortcutSymbols, AlwaysControlOptionShiftCommand)
{
    const std::pair<uint32_t, const char*> rows[] = {
        {0, ""},        {0x0100, "⌘"},  {0x0200, "⇧"},    {0x0800, "⌥"},
        {0x1000, "⌃"},  {0x0900, "⌥⌘"}, {0x1800, "⌃⌥"},   {0x1200, "⌃⇧"},
        {0x0300, "⇧⌘"}, {0x0A00, "⌥⇧"}, {0x1B00, "⌃⌥⇧⌘"},
    };
    for (auto [mask, expected] : rows) {
        SCOPED_TRACE(mask);
        EXPECT_EQ(HotkeyShortcut::modifierSymbols(mask), QString::fromUtf8(expected));
    }
}

TEST(HotkeyShortcutKeyName, NamedKeysWinOverWhatTheLayoutTypes)
{
    ScopedUsLayout us;
    const std::pair<uint32_t, const char*> named[] = {
        {49, "Space"}, {36, "↩"},    {76, "⌤"},    {48, "⇥"},    {53, "⎋"},    {51, "⌫"},
        {117, "⌦"},    {123, "←"},   {124, "→"},   {126, "↑"},   {125, "↓"},   {115, "↖"},
        {119, "↘"},    {116, "⇞"},   {121, "⇟"},   {122, "F1"},  {120, "F2"},  {99, "F3"},
        {118, "F4"},   {96, "F5"},   {97, "F6"},   {98, "F7"},   {100, "F8"},  {101, "F9"},
        {109, "F10"},  {103, "F11"}, {111, "F12"}, {105, "F13"}, {107, "F14"}, {113, "F15"},
        {106, "F16"},  {64, "F17"},  {79, "F18"},  {80, "F19"},  {90, "F20"},
    };
    for (auto [keyCode, expected] : named) {
        SCOPED_TRACE(keyCode);
        us.layout.setText(keyCode, QStringLiteral("x"));
        EXPECT_EQ(HotkeyShortcut::keyName(keyCode), QString::fromUtf8(expected));
    }
    // Help is a question mark in a combining enclosing circle.
    us.layout.setText(114, QStringLiteral("x"));
    EXPECT_EQ(HotkeyShortcut::keyName(114), QString(QStringLiteral("?") + QChar(0x20DD)));
    EXPECT_TRUE(us.layout.queries.isEmpty()) << "the layout was asked about a named key";
}

TEST(HotkeyShortcutKeyName, LayoutTextIsUpperCasedAndNothingFallsBackToTheNumber)
{
    ScopedUsLayout us;
    us.layout.setText(7, QStringLiteral("x"));
    us.layout.setText(41, QStringLiteral("ö"));
    us.layout.setText(16, QStringLiteral("е")); // Cyrillic ie on the Y position
    us.layout.setText(42, QString());
    us.layout.setText(39, QStringLiteral("'"));
    const std::pair<uint32_t, const char*> rows[] = {
        {0, "A"},         {7, "X"},  {41, "Ö"},      {16, "Е"},
        {39, "'"},        {18, "1"}, {50, "Key 50"}, // the layout has no text for it
        {42, "Key 42"},                              // the layout answers with an empty text
        {127, "Key 127"},                            // no such key at all
    };
    for (auto [keyCode, expected] : rows) {
        SCOPED_TRACE(keyCode);
        EXPECT_EQ(HotkeyShortcut::keyName(keyCode), QString::fromUtf8(expected));
    }
}

TEST(HotkeyShortcutKeyName, WithoutAnyLayoutEveryUnnamedKeyIsANumber)
{
    EXPECT_EQ(HotkeyShortcut::keyName(17), "Key 17");
    EXPECT_EQ(HotkeyShortcut::keyName(0), "Key 0");
    EXPECT_EQ(HotkeyShortcut::keyName(49), "Space");
}

struct RejectionRow {
    const char* name;
    uint32_t keyCode;
    uint32_t mask;
    const char* display;
    std::optional<Kind> rejectedAs;
};

class HotkeyShortcutRejection : public ::testing::TestWithParam<RejectionRow> {};

TEST_P(HotkeyShortcutRejection, DisplayAndRule)
{
    ScopedUsLayout us;
    const RejectionRow& row = GetParam();
    const HotkeyShortcut shortcut{row.keyCode, row.mask};
    const QString display = QString::fromUtf8(row.display);
    EXPECT_EQ(shortcut.displayString(), display);

    const std::optional<HotkeyShortcut::Rejection> rejection = shortcut.rejection();
    ASSERT_EQ(rejection.has_value(), row.rejectedAs.has_value());
    if (!rejection)
        return;
    EXPECT_EQ(rejection->kind, *row.rejectedAs);
    if (*row.rejectedAs == Kind::reservedByPanel) {
        EXPECT_EQ(rejection->display, display);
        EXPECT_EQ(rejection->message(),
                  display +
                      " belongs to the Quillmark panel's own row shortcuts while it is open.");
    } else {
        EXPECT_EQ(rejection->message(), needsControlOrOptionMessage);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, HotkeyShortcutRejection, ::testing::Values(
    RejectionRow{"escape", 53, 0, "⎋", Kind::reservedByPanel},
    RejectionRow{"option1", 18, 0x0800, "⌥1", Kind::reservedByPanel},
    RejectionRow{"option2", 19, 0x0800, "⌥2", Kind::reservedByPanel},
    RejectionRow{"option3", 20, 0x0800, "⌥3", Kind::reservedByPanel},
    RejectionRow{"option4", 21, 0x0800, "⌥4", Kind::reservedByPanel},
    RejectionRow{"option5", 23, 0x0800, "⌥5", std::nullopt},
    RejectionRow{"optionShift1", 18, 0x0A00, "⌥⇧1", std::nullopt},
    RejectionRow{"controlOption1", 18, 0x1800, "⌃⌥1", std::nullopt},
    RejectionRow{"controlEscape", 53, 0x1000, "⌃⎋", std::nullopt},
    RejectionRow{"shiftEscape", 53, 0x0200, "⇧⎋", Kind::needsControlOrOption},
    RejectionRow{"bareDigit1", 18, 0, "1", Kind::needsControlOrOption},
    RejectionRow{"commandShiftT", 17, 0x0300, "⇧⌘T", Kind::needsControlOrOption},
    RejectionRow{"commandT", 17, 0x0100, "⌘T", Kind::needsControlOrOption},
    RejectionRow{"bareT", 17, 0, "T", Kind::needsControlOrOption},
    RejectionRow{"shiftT", 17, 0x0200, "⇧T", Kind::needsControlOrOption},
    RejectionRow{"bareF5", 96, 0, "F5", Kind::needsControlOrOption},
    RejectionRow{"controlT", 17, 0x1000, "⌃T", std::nullopt},
    RejectionRow{"optionCommandT", 17, 0x0900, "⌥⌘T", std::nullopt},
    RejectionRow{"controlOptionSpace", 49, 0x1800, "⌃⌥Space", std::nullopt},
    RejectionRow{"allFourSpace", 49, 0x1B00, "⌃⌥⇧⌘Space", std::nullopt},
    RejectionRow{"optionUnknownKey", 50, 0x0800, "⌥Key 50", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(HotkeyShortcutFromEvent, KeepsTheFourModifiersAndDropsTheRest)
{
    constexpr uint64_t capsLock = 0x10000, shift = 0x20000, control = 0x40000, option = 0x80000,
                       command = 0x100000, numericPad = 0x200000, help = 0x400000,
                       function = 0x800000;
    const std::pair<uint64_t, uint32_t> rows[] = {
        {0, 0},
        {capsLock | control, 0x1000},
        {option, 0x0800},
        {shift, 0x0200},
        {command, 0x0100},
        {option | command, 0x0900},
        {capsLock | numericPad | help | function, 0},
        {capsLock | shift | control | option | command | numericPad | help | function, 0x1B00},
    };
    for (auto [flags, mask] : rows) {
        SCOPED_TRACE(flags);
        EXPECT_EQ(HotkeyShortcut::fromEvent(17, flags), (HotkeyShortcut{17, mask}));
    }
    EXPECT_EQ(HotkeyShortcut::fromEvent(49, control).keyCode, 49u);
}

TEST(HotkeyShortcutDefault, IsOptionCommandTAndAllowed)
{
    ScopedUsLayout us;
    const HotkeyShortcut shortcut = HotkeyShortcut::defaultShortcut();
    EXPECT_EQ(shortcut, (HotkeyShortcut{17, 0x0900}));
    EXPECT_EQ(shortcut, HotkeyShortcut{});
    EXPECT_EQ(shortcut.displayString(), "⌥⌘T");
    EXPECT_EQ(shortcut.rejection(), std::nullopt);
}

TEST(HotkeyShortcutLegacyPreset, ExactIdentifiersOnly)
{
    ScopedUsLayout us;
    const std::pair<const char*, const char*> known[] = {
        {"opt-cmd-t", "⌥⌘T"},
        {"ctrl-opt-t", "⌃⌥T"},
        {"opt-cmd-g", "⌥⌘G"},
        {"ctrl-opt-space", "⌃⌥Space"},
    };
    for (auto [id, display] : known) {
        SCOPED_TRACE(id);
        const std::optional<HotkeyShortcut> preset = HotkeyShortcut::legacyPreset(id);
        ASSERT_TRUE(preset.has_value());
        EXPECT_EQ(preset->displayString(), QString::fromUtf8(display));
        EXPECT_EQ(preset->rejection(), std::nullopt);
    }
    EXPECT_EQ(HotkeyShortcut::legacyPreset("opt-cmd-g"), (HotkeyShortcut{5, 0x0900}));
    EXPECT_EQ(HotkeyShortcut::legacyPreset("ctrl-opt-space"), (HotkeyShortcut{49, 0x1800}));

    for (const char* id : {"Opt-Cmd-T", "", "opt-cmd-t ", " opt-cmd-t", "opt-cmd", "cmd-opt-t"}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(HotkeyShortcut::legacyPreset(id), std::nullopt);
    }
}

} // namespace
