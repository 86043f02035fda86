// SPDX-License-Identifier: MIT
#include "input/HotkeyShortcut.h"

#include "platform/Platform.h"

#include <array>
#include <utility>

namespace {

// Device-independent modifier flags of a key event, and the mask bits they become.
constexpr uint64_t controlFlag = 0x40000;
constexpr uint64_t optionFlag = 0x80000;
constexpr uint64_t shiftFlag = 0x20000;
constexpr uint64_t commandFlag = 0x100000;

struct NamedKey {
    uint32_t keyCode;
    const char16_t* name;
};

// Keys whose character would be invisible or ambiguous get a fixed name, whatever the layout.
// clang-format off
constexpr std::array<NamedKey, 36> namedKeys{{
    {49, u"Space"}, {36, u"↩"}, {76, u"⌤"}, {48, u"⇥"}, {53, u"⎋"}, {51, u"⌫"}, {117, u"⌦"},
    {123, u"←"}, {124, u"→"}, {126, u"↑"}, {125, u"↓"},
    {115, u"↖"}, {119, u"↘"}, {116, u"⇞"}, {121, u"⇟"}, {114, u"?\u20DD"},
    {122, u"F1"}, {120, u"F2"}, {99, u"F3"}, {118, u"F4"}, {96, u"F5"}, {97, u"F6"},
    {98, u"F7"}, {100, u"F8"}, {101, u"F9"}, {109, u"F10"}, {103, u"F11"}, {111, u"F12"},
    {105, u"F13"}, {107, u"F14"}, {113, u"F15"}, {106, u"F16"}, {64, u"F17"}, {79, u"F18"},
    {80, u"F19"}, {90, u"F20"},
}};

// While the panel is open these keys pick its rows or close it, so they cannot also be the
// main shortcut: Escape alone and Option with the digits 1 to 4.
constexpr std::array<HotkeyShortcut, 5> panelKeys{{
    {53, 0},
    {18, HotkeyShortcut::optionBit}, {19, HotkeyShortcut::optionBit},
    {20, HotkeyShortcut::optionBit}, {21, HotkeyShortcut::optionBit},
}};

constexpr std::array<std::pair<const char16_t*, HotkeyShortcut>, 4> legacyPresets{{
    {u"opt-cmd-t", {17, 0x0900}},
    {u"ctrl-opt-t", {17, 0x1800}},
    {u"opt-cmd-g", {5, 0x0900}},
    {u"ctrl-opt-space", {49, 0x1800}},
}};
// clang-format on

std::optional<QString> layoutKeyName(uint32_t keyCode)
{
    const std::optional<QString> text = Platform::keyboardLayout().unmodifiedText(keyCode);
    if (!text)
        return std::nullopt;
    QString name = text->toUpper();
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

} // namespace

QString HotkeyShortcut::Rejection::message() const
{
    switch (kind) {
    case Kind::needsControlOrOption:
        return QStringLiteral("That combination needs ⌃ Control or ⌥ Option. Anything else "
                              "either types a character or steals a ⌘ menu shortcut — Copy, "
                              "Save, Quit — from every app.");
    case Kind::reservedByPanel:
        return display +
               QStringLiteral(
                   " belongs to the Quillmark panel's own row shortcuts while it is open.");
    }
    return {};
}

HotkeyShortcut HotkeyShortcut::fromEvent(uint32_t keyCode, uint64_t modifierFlags)
{
    uint32_t mask = 0;
    if (modifierFlags & controlFlag)
        mask |= controlBit;
    if (modifierFlags & optionFlag)
        mask |= optionBit;
    if (modifierFlags & shiftFlag)
        mask |= shiftBit;
    if (modifierFlags & commandFlag)
        mask |= commandBit;
    return {keyCode, mask};
}

QString HotkeyShortcut::modifierSymbols(uint32_t carbonModifiers)
{
    QString symbols;
    if (carbonModifiers & controlBit)
        symbols += u'⌃';
    if (carbonModifiers & optionBit)
        symbols += u'⌥';
    if (carbonModifiers & shiftBit)
        symbols += u'⇧';
    if (carbonModifiers & commandBit)
        symbols += u'⌘';
    return symbols;
}

QString HotkeyShortcut::keyName(uint32_t keyCode)
{
    for (const NamedKey& key : namedKeys) {
        if (key.keyCode == keyCode)
            return QString::fromUtf16(key.name);
    }
    if (std::optional<QString> name = layoutKeyName(keyCode))
        return *name;
    return QStringLiteral("Key %1").arg(QString::number(keyCode));
}

std::optional<HotkeyShortcut> HotkeyShortcut::legacyPreset(const QString& id)
{
    for (const auto& [presetID, shortcut] : legacyPresets) {
        if (id == QStringView(presetID))
            return shortcut;
    }
    return std::nullopt;
}

QString HotkeyShortcut::displayString() const
{
    return modifierSymbols(carbonModifiers) + keyName(keyCode);
}

std::optional<HotkeyShortcut::Rejection> HotkeyShortcut::rejection() const
{
    for (const HotkeyShortcut& panelKey : panelKeys) {
        if (*this == panelKey)
            return Rejection{Rejection::Kind::reservedByPanel, displayString()};
    }
    if (!(carbonModifiers & (controlBit | optionBit)))
        return Rejection{Rejection::Kind::needsControlOrOption, QString()};
    return std::nullopt;
}
