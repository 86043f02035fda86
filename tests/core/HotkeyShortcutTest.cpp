// SPDX-License-Identifier: MIT
#include "core/HotkeyShortcut.h"

#include "support/fakes/FakeKeyboardLayout.h"

#include <gtest/gtest.h>

namespace {

using Kind = HotkeyShortcut::Rejection::Kind;

// A US-like layout for the keys these tests name through the layout, with text on the named
// keys too: a name of its own must win over it.
FakeKeyboardLayout usLayout()
{
    return {{0, "a"},  {5, "g"},  {7, "x"},   {16, "е"},  {17, "t"}, {18, "1"},
            {21, "4"}, {23, "5"}, {39, "'"},  {41, "ö"},  {42, ""},  {49, "x"},
            {53, "x"}, {76, "x"}, {105, "x"}, {114, "x"}, {116, "x"}};
}

// The name in log lines, the label the user reads, and the keysym name a desktop's keybinding
// reads back as the same key (in any case).
TEST(HotkeyShortcutKeyName, NamedKeysThenTheLayoutsTextUpperCasedThenTheNumber)
{
    const struct {
        uint32_t keyCode;
        const char* name;
        const char* label; // the name when null
        const char* keysym;
        bool named;
    } rows[] = {
        // clang-format off
        {49, "Space", "Space", "space", true}, {76, "⌤", "Keypad Enter", "KP_Enter", true},
        {53, "⎋", "Esc", "Escape", true}, {105, "F13", "F13", "F13", true},
        {114, "?\u20DD", "Insert", "Insert", true},
        {0, "A", nullptr, "a", false},
        {41, "Ö", nullptr, "U00F6", false}, {16, "Е", nullptr, "U0435", false}, // Cyrillic ie on Y
        {39, "'", nullptr, "apostrophe", false}, {18, "1", nullptr, "1", false},
        {50, "Key 50", nullptr, nullptr, false},   // the layout has no text for it
        {42, "Key 42", nullptr, nullptr, false},   // the layout answers with an empty text
        {127, "Key 127", nullptr, nullptr, false}, // no such key at all
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.keyCode);
        FakeKeyboardLayout us = usLayout();
        EXPECT_EQ(HotkeyShortcut::keyName(row.keyCode, us), QString::fromUtf8(row.name));
        EXPECT_EQ(HotkeyShortcut::keyLabel(row.keyCode, us),
                  QString::fromUtf8(row.label ? row.label : row.name));
        const std::optional<QString> keysym = HotkeyShortcut{row.keyCode}.keysymName(us);
        EXPECT_EQ(keysym, row.keysym ? std::optional(QString::fromUtf8(row.keysym)) : std::nullopt);
        if (keysym) {
            EXPECT_EQ(HotkeyShortcut::keyCodeForKeysymName(keysym->toUpper(), us), row.keyCode);
            EXPECT_EQ(HotkeyShortcut::keyCodeForKeysymName(keysym->toLower(), us), row.keyCode);
        }
        if (row.named) {
            EXPECT_TRUE(us.queries.isEmpty()) << "the layout was asked about a named key";
        }
    }
    FakeKeyboardLayout us = usLayout();
    EXPECT_EQ(HotkeyShortcut::keyCodeForKeysymName("odiaeresis", us), std::nullopt);
}

// At least two of Ctrl, Alt and Super, Shift optional; the panel's own keys never. The
// message suggests a combination with the same key.
TEST(HotkeyShortcutRejection, DisplayLabelAndRule)
{
    FakeKeyboardLayout us = usLayout();
    const struct {
        uint32_t keyCode, mask;
        const char* display; // in log lines
        const char* label;   // as the user reads it
        std::optional<Kind> rejectedAs;
        const char* message = nullptr; // else it starts with the label
    } rows[] = {
        // clang-format off
        {53, 0, "⎋", "Esc", Kind::reservedByPanel},
        {21, 0x0800, "⌥4", "Alt+4", Kind::reservedByPanel},
        {23, 0x0800, "⌥5", "Alt+5", Kind::menuMnemonic},
        {17, 0x0A00, "⌥⇧T", "Alt+Shift+T", Kind::menuMnemonic},
        {49, 0x0800, "⌥Space", "Alt+Space", Kind::menuMnemonic, "Alt+Space opens a menu in the application in front. Add Ctrl or Super, such as Alt+Super+Space."},
        {17, 0, "T", "T", Kind::typesText, "T is a key the application in front uses itself. Hold at least two of Ctrl, Alt and Super with it, such as Ctrl+Alt+T."},
        {17, 0x0200, "⇧T", "Shift+T", Kind::typesText},
        {53, 0x0200, "⇧⎋", "Shift+Esc", Kind::typesText},
        {17, 0x1200, "⌃⇧T", "Ctrl+Shift+T", Kind::applicationShortcut},
        {17, 0x0300, "⇧⌘T", "Shift+Super+T", Kind::desktopShortcut},
        {18, 0x1800, "⌃⌥1", "Ctrl+Alt+1", std::nullopt},
        {49, 0x1B00, "⌃⌥⇧⌘Space", "Ctrl+Alt+Shift+Super+Space", std::nullopt},
        {50, 0x0900, "⌥⌘Key 50", "Alt+Super+Key 50", std::nullopt},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        const HotkeyShortcut shortcut{row.keyCode, row.mask};
        EXPECT_EQ(shortcut.displayString(us), QString::fromUtf8(row.display));
        EXPECT_EQ(shortcut.label(us), QString::fromUtf8(row.label));
        const std::optional<HotkeyShortcut::Rejection> rejection = shortcut.rejection(us);
        EXPECT_EQ(rejection ? std::optional(rejection->kind) : std::nullopt, row.rejectedAs);
        if (!rejection)
            continue;
        EXPECT_EQ(rejection->combination, QString::fromUtf8(row.label));
        const QString message = rejection->message();
        EXPECT_TRUE(row.message ? message == QString::fromUtf8(row.message)
                                : message.startsWith(QString::fromUtf8(row.label) + u' '))
            << message.toStdString();
    }
}

TEST(HotkeyShortcutFromEvent, KeepsTheFourModifiersAndDropsTheRest)
{
    constexpr uint64_t capsLock = 0x10000, shift = 0x20000, control = 0x40000, option = 0x80000,
                       command = 0x100000, numericPad = 0x200000, help = 0x400000,
                       function = 0x800000;
    const std::pair<uint64_t, uint32_t> rows[] = {
        // clang-format off
        {capsLock | control, 0x1000}, {capsLock | numericPad | help | function, 0},
        {capsLock | shift | control | option | command | numericPad | help | function, 0x1B00},
        // clang-format on
    };
    for (auto [flags, mask] : rows) {
        SCOPED_TRACE(flags);
        EXPECT_EQ(HotkeyShortcut::fromEvent(17, flags), (HotkeyShortcut{17, mask}));
    }
    EXPECT_EQ(HotkeyShortcut::fromEvent(49, control).keyCode, 49u);
}

} // namespace
