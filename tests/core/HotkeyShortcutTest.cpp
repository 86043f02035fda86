// SPDX-License-Identifier: MIT
#include "core/HotkeyShortcut.h"

#include "support/fakes/FakeKeyboardLayout.h"

#include <gtest/gtest.h>

namespace {

using Kind = HotkeyShortcut::Rejection::Kind;

// A US-like layout for the keys these tests name through the layout.
FakeKeyboardLayout usLayout()
{
    return {{0, "a"},  {1, "s"},  {5, "g"},  {17, "t"}, {18, "1"},
            {19, "2"}, {20, "3"}, {21, "4"}, {23, "5"}};
}

// Log lines keep the glyphs; the user reads the desktop's names, in the same order.
TEST(HotkeyShortcutModifiers, AlwaysControlOptionShiftCommand)
{
    const std::tuple<uint32_t, const char*, const char*> rows[] = {
        {0, "", ""},
        {0x0100, "⌘", "Super"},
        {0x0900, "⌥⌘", "Alt+Super"},
        {0x1200, "⌃⇧", "Ctrl+Shift"},
        {0x1B00, "⌃⌥⇧⌘", "Ctrl+Alt+Shift+Super"},
    };
    for (auto [mask, symbols, labels] : rows) {
        SCOPED_TRACE(mask);
        EXPECT_EQ(HotkeyShortcut::modifierSymbols(mask), QString::fromUtf8(symbols));
        EXPECT_EQ(HotkeyShortcut::modifierLabels(mask).join(u'+'), QString::fromUtf8(labels));
    }
}

TEST(HotkeyShortcutKeyName, NamedKeysWinOverWhatTheLayoutTypes)
{
    FakeKeyboardLayout us = usLayout();
    // clang-format off
    const std::tuple<uint32_t, const char*, const char*, const char*> named[] = {
        {49, "Space", "Space", "space"}, {76, "⌤", "Keypad Enter", "KP_Enter"},
        {53, "⎋", "Esc", "Escape"}, {105, "F13", "F13", "F13"}, {116, "⇞", "Page Up", "Page_Up"},
    };
    // clang-format on
    for (auto [keyCode, name, label, keysym] : named) {
        SCOPED_TRACE(keyCode);
        us.setText(keyCode, QStringLiteral("x"));
        EXPECT_EQ(HotkeyShortcut::keyName(keyCode, us), QString::fromUtf8(name));
        EXPECT_EQ(HotkeyShortcut::keyLabel(keyCode, us), QString::fromUtf8(label));
        EXPECT_EQ(HotkeyShortcut{keyCode}.keysymName(us), keysym);
        EXPECT_EQ(HotkeyShortcut::keyCodeForKeysymName(QString(keysym).toLower(), us), keyCode);
    }
    // Help (Insert on a PC keyboard) is a question mark in a combining enclosing circle.
    us.setText(114, QStringLiteral("x"));
    EXPECT_EQ(HotkeyShortcut::keyName(114, us), QString(QStringLiteral("?") + QChar(0x20DD)));
    EXPECT_EQ(HotkeyShortcut::keyLabel(114, us), "Insert");
    EXPECT_TRUE(us.queries.isEmpty()) << "the layout was asked about a named key";
}

TEST(HotkeyShortcutKeyName, LayoutTextIsUpperCasedAndNothingFallsBackToTheNumber)
{
    FakeKeyboardLayout us = usLayout();
    us.setText(7, QStringLiteral("x"));
    us.setText(41, QStringLiteral("ö"));
    us.setText(16, QStringLiteral("е")); // Cyrillic ie on the Y position
    us.setText(42, QString());
    us.setText(39, QStringLiteral("'"));
    // The keysym name is what a desktop's keybinding reads back as the same key.
    const std::tuple<uint32_t, const char*, const char*> rows[] = {
        {0, "A", "a"},
        {7, "X", "x"},
        {41, "Ö", "U00F6"},
        {16, "Е", "U0435"},
        {39, "'", "apostrophe"},
        {18, "1", "1"},
        {50, "Key 50", nullptr},   // the layout has no text for it
        {42, "Key 42", nullptr},   // the layout answers with an empty text
        {127, "Key 127", nullptr}, // no such key at all
    };
    for (auto [keyCode, expected, keysym] : rows) {
        SCOPED_TRACE(keyCode);
        EXPECT_EQ(HotkeyShortcut::keyName(keyCode, us), QString::fromUtf8(expected));
        EXPECT_EQ(HotkeyShortcut::keyLabel(keyCode, us), QString::fromUtf8(expected));
        const std::optional<QString> name = HotkeyShortcut{keyCode}.keysymName(us);
        EXPECT_EQ(name, keysym ? std::optional(QString::fromUtf8(keysym)) : std::nullopt);
        if (name) {
            EXPECT_EQ(HotkeyShortcut::keyCodeForKeysymName(name->toUpper(), us), keyCode);
        }
    }
    EXPECT_EQ(HotkeyShortcut::keyCodeForKeysymName("odiaeresis", us), std::nullopt);
}

struct RejectionRow {
    const char* name;
    uint32_t keyCode;
    uint32_t mask;
    const char* display; // in log lines
    const char* label;   // as the user reads it
    std::optional<Kind> rejectedAs;
};

class HotkeyShortcutRejection : public ::testing::TestWithParam<RejectionRow> {};

TEST_P(HotkeyShortcutRejection, DisplayAndRule)
{
    FakeKeyboardLayout us = usLayout();
    const RejectionRow& row = GetParam();
    const HotkeyShortcut shortcut{row.keyCode, row.mask};
    EXPECT_EQ(shortcut.displayString(us), QString::fromUtf8(row.display));
    EXPECT_EQ(shortcut.label(us), QString::fromUtf8(row.label));

    const std::optional<HotkeyShortcut::Rejection> rejection = shortcut.rejection(us);
    ASSERT_EQ(rejection.has_value(), row.rejectedAs.has_value());
    if (!rejection)
        return;
    EXPECT_EQ(rejection->kind, *row.rejectedAs);
    EXPECT_EQ(rejection->combination, QString::fromUtf8(row.label));
    EXPECT_TRUE(rejection->message().startsWith(QString::fromUtf8(row.label) + u' '))
        << rejection->message().toStdString();
}

// At least two of Ctrl, Alt and Super, Shift optional; the panel's own keys never.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, HotkeyShortcutRejection, ::testing::Values(
    RejectionRow{"escape", 53, 0, "⎋", "Esc", Kind::reservedByPanel},
    RejectionRow{"alt4", 21, 0x0800, "⌥4", "Alt+4", Kind::reservedByPanel},
    RejectionRow{"alt5", 23, 0x0800, "⌥5", "Alt+5", Kind::menuMnemonic},
    RejectionRow{"altT", 17, 0x0800, "⌥T", "Alt+T", Kind::menuMnemonic},
    RejectionRow{"altShiftT", 17, 0x0A00, "⌥⇧T", "Alt+Shift+T", Kind::menuMnemonic},
    RejectionRow{"bareT", 17, 0, "T", "T", Kind::typesText},
    RejectionRow{"shiftT", 17, 0x0200, "⇧T", "Shift+T", Kind::typesText},
    RejectionRow{"shiftEscape", 53, 0x0200, "⇧⎋", "Shift+Esc", Kind::typesText},
    RejectionRow{"ctrlT", 17, 0x1000, "⌃T", "Ctrl+T", Kind::applicationShortcut},
    RejectionRow{"ctrlShiftT", 17, 0x1200, "⌃⇧T", "Ctrl+Shift+T", Kind::applicationShortcut},
    RejectionRow{"shiftSuperT", 17, 0x0300, "⇧⌘T", "Shift+Super+T", Kind::desktopShortcut},
    RejectionRow{"altSuperT", 17, 0x0900, "⌥⌘T", "Alt+Super+T", std::nullopt},
    RejectionRow{"ctrlAlt1", 18, 0x1800, "⌃⌥1", "Ctrl+Alt+1", std::nullopt},
    RejectionRow{"allFourSpace", 49, 0x1B00, "⌃⌥⇧⌘Space", "Ctrl+Alt+Shift+Super+Space", std::nullopt},
    RejectionRow{"altSuperUnknownKey", 50, 0x0900, "⌥⌘Key 50", "Alt+Super+Key 50", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// The suggestion is made from the key itself.
TEST(HotkeyShortcutRejection, TheMessageSuggestsACombinationWithTheSameKey)
{
    FakeKeyboardLayout us = usLayout();
    const std::pair<HotkeyShortcut, const char*> rows[] = {
        {{17, 0},
         "T is a key the application in front uses itself. Hold at least two of Ctrl, "
         "Alt and Super with it, such as Ctrl+Alt+T."},
        {{49, 0x0800},
         "Alt+Space opens a menu in the application in front. Add Ctrl or Super, "
         "such as Alt+Super+Space."},
    };
    for (const auto& [shortcut, message] : rows) {
        SCOPED_TRACE(message);
        ASSERT_TRUE(shortcut.rejection(us).has_value());
        EXPECT_EQ(shortcut.rejection(us)->message(), QString::fromUtf8(message));
    }
}

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

TEST(HotkeyShortcutLegacyPreset, ExactIdentifiersOnly)
{
    FakeKeyboardLayout us = usLayout();
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
        EXPECT_EQ(preset->displayString(us), QString::fromUtf8(display));
        EXPECT_EQ(preset->rejection(us), std::nullopt);
    }
    EXPECT_EQ(HotkeyShortcut::legacyPreset("opt-cmd-g"), (HotkeyShortcut{5, 0x0900}));
    EXPECT_EQ(HotkeyShortcut::legacyPreset("ctrl-opt-space"), (HotkeyShortcut{49, 0x1800}));

    for (const char* id : {"Opt-Cmd-T", "", "opt-cmd-t ", " opt-cmd-t", "opt-cmd", "cmd-opt-t"}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(HotkeyShortcut::legacyPreset(id), std::nullopt);
    }
}

} // namespace
