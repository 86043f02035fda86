// SPDX-License-Identifier: MIT
#include "core/HotkeyShortcut.h"

#include "core/KeyPositions.h"

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
    const char16_t* name;  // in log lines
    const char16_t* label; // as the desktop writes it
    const char* keysym;    // as XKB names it in a keybinding
};

// Keys whose character would be invisible or ambiguous get a fixed name, whatever the layout.
// The Help position is Insert on a PC keyboard.
// clang-format off
constexpr std::array<NamedKey, 36> namedKeys{{
    {49, u"Space", u"Space", "space"}, {36, u"↩", u"Enter", "Return"},
    {76, u"⌤", u"Keypad Enter", "KP_Enter"}, {48, u"⇥", u"Tab", "Tab"},
    {53, u"⎋", u"Esc", "Escape"}, {51, u"⌫", u"Backspace", "BackSpace"},
    {117, u"⌦", u"Delete", "Delete"}, {123, u"←", u"Left", "Left"},
    {124, u"→", u"Right", "Right"}, {126, u"↑", u"Up", "Up"}, {125, u"↓", u"Down", "Down"},
    {115, u"↖", u"Home", "Home"}, {119, u"↘", u"End", "End"}, {116, u"⇞", u"Page Up", "Page_Up"},
    {121, u"⇟", u"Page Down", "Page_Down"}, {114, u"?\u20DD", u"Insert", "Insert"},
    {122, u"F1", u"F1", "F1"}, {120, u"F2", u"F2", "F2"}, {99, u"F3", u"F3", "F3"},
    {118, u"F4", u"F4", "F4"}, {96, u"F5", u"F5", "F5"}, {97, u"F6", u"F6", "F6"},
    {98, u"F7", u"F7", "F7"}, {100, u"F8", u"F8", "F8"}, {101, u"F9", u"F9", "F9"},
    {109, u"F10", u"F10", "F10"}, {103, u"F11", u"F11", "F11"}, {111, u"F12", u"F12", "F12"},
    {105, u"F13", u"F13", "F13"}, {107, u"F14", u"F14", "F14"}, {113, u"F15", u"F15", "F15"},
    {106, u"F16", u"F16", "F16"}, {64, u"F17", u"F17", "F17"}, {79, u"F18", u"F18", "F18"},
    {80, u"F19", u"F19", "F19"}, {90, u"F20", u"F20", "F20"},
}};

// While the panel is open these keys pick its rows or close it, so they cannot also be the
// main shortcut: Escape alone and Alt with the digits 1 to 4.
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

const NamedKey* namedKey(uint32_t keyCode)
{
    for (const NamedKey& key : namedKeys) {
        if (key.keyCode == keyCode)
            return &key;
    }
    return nullptr;
}

std::optional<QString> layoutKeyName(uint32_t keyCode, KeyCharacters& layout)
{
    const std::optional<QString> text = layout.unmodifiedText(keyCode);
    if (!text)
        return std::nullopt;
    QString name = text->toUpper();
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

QString unnamedKey(uint32_t keyCode, KeyCharacters& layout)
{
    if (std::optional<QString> name = layoutKeyName(keyCode, layout))
        return *name;
    return QStringLiteral("Key %1").arg(QString::number(keyCode));
}

// How many of Ctrl, Alt and Super the mask holds; Shift does not count.
int chordModifierCount(uint32_t mask)
{
    return int(bool(mask & HotkeyShortcut::controlBit)) +
           int(bool(mask & HotkeyShortcut::optionBit)) +
           int(bool(mask & HotkeyShortcut::commandBit));
}

// The keysym names of the printable ASCII characters that are not letters or digits; the
// others would not parse back as the same keysym.
// clang-format off
constexpr std::pair<char, const char*> punctuationKeysyms[] = {
    {'!', "exclam"}, {'"', "quotedbl"}, {'#', "numbersign"}, {'$', "dollar"},
    {'%', "percent"}, {'&', "ampersand"}, {'\'', "apostrophe"}, {'(', "parenleft"},
    {')', "parenright"}, {'*', "asterisk"}, {'+', "plus"}, {',', "comma"}, {'-', "minus"},
    {'.', "period"}, {'/', "slash"}, {':', "colon"}, {';', "semicolon"}, {'<', "less"},
    {'=', "equal"}, {'>', "greater"}, {'?', "question"}, {'@', "at"}, {'[', "bracketleft"},
    {'\\', "backslash"}, {']', "bracketright"}, {'^', "asciicircum"}, {'_', "underscore"},
    {'`', "grave"}, {'{', "braceleft"}, {'|', "bar"}, {'}', "braceright"}, {'~', "asciitilde"},
};
// clang-format on

} // namespace

QString HotkeyShortcut::Rejection::message() const
{
    switch (kind) {
    case Kind::typesText:
        return combination +
               QStringLiteral(" is a key the application in front uses itself. Hold at least "
                              "two of Ctrl, Alt and Super with it, such as Ctrl+Alt+") +
               key + QStringLiteral(".");
    case Kind::applicationShortcut:
        return combination +
               QStringLiteral(" belongs to the application in front — Ctrl shortcuts copy, "
                              "save and quit everywhere. Add Alt or Super, such as Ctrl+Alt+") +
               key + QStringLiteral(".");
    case Kind::menuMnemonic:
        return combination +
               QStringLiteral(" opens a menu in the application in front. Add Ctrl or Super, "
                              "such as Alt+Super+") +
               key + QStringLiteral(".");
    case Kind::desktopShortcut:
        return combination +
               QStringLiteral(" belongs to the desktop's own shortcuts. Add Alt or Ctrl, such "
                              "as Alt+Super+") +
               key + QStringLiteral(".");
    case Kind::reservedByPanel:
        return combination +
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

QString HotkeyShortcut::keyName(uint32_t keyCode, KeyCharacters& layout)
{
    if (const NamedKey* key = namedKey(keyCode))
        return QString::fromUtf16(key->name);
    return unnamedKey(keyCode, layout);
}

QStringList HotkeyShortcut::modifierLabels(uint32_t carbonModifiers)
{
    QStringList labels;
    if (carbonModifiers & controlBit)
        labels.append(QStringLiteral("Ctrl"));
    if (carbonModifiers & optionBit)
        labels.append(QStringLiteral("Alt"));
    if (carbonModifiers & shiftBit)
        labels.append(QStringLiteral("Shift"));
    if (carbonModifiers & commandBit)
        labels.append(QStringLiteral("Super"));
    return labels;
}

QString HotkeyShortcut::keyLabel(uint32_t keyCode, KeyCharacters& layout)
{
    if (const NamedKey* key = namedKey(keyCode))
        return QString::fromUtf16(key->label);
    return unnamedKey(keyCode, layout);
}

std::optional<HotkeyShortcut> HotkeyShortcut::legacyPreset(const QString& id)
{
    for (const auto& [presetID, shortcut] : legacyPresets) {
        if (id == QStringView(presetID))
            return shortcut;
    }
    return std::nullopt;
}

QString HotkeyShortcut::displayString(KeyCharacters& layout) const
{
    return modifierSymbols(carbonModifiers) + keyName(keyCode, layout);
}

QString HotkeyShortcut::label(KeyCharacters& layout) const
{
    QStringList parts = modifierLabels(carbonModifiers);
    parts.append(keyLabel(keyCode, layout));
    return parts.join(u'+');
}

std::optional<HotkeyShortcut::Rejection> HotkeyShortcut::rejection(KeyCharacters& layout) const
{
    using Kind = Rejection::Kind;
    const auto refuse = [this, &layout](Kind kind) {
        return Rejection{kind, label(layout), keyLabel(keyCode, layout)};
    };
    for (const HotkeyShortcut& panelKey : panelKeys) {
        if (*this == panelKey)
            return refuse(Kind::reservedByPanel);
    }
    if (chordModifierCount(carbonModifiers) >= 2)
        return std::nullopt;
    if (carbonModifiers & controlBit)
        return refuse(Kind::applicationShortcut);
    if (carbonModifiers & optionBit)
        return refuse(Kind::menuMnemonic);
    if (carbonModifiers & commandBit)
        return refuse(Kind::desktopShortcut);
    return refuse(Kind::typesText);
}

std::optional<QString> HotkeyShortcut::keysymName(KeyCharacters& layout) const
{
    if (const NamedKey* key = namedKey(keyCode))
        return QString::fromLatin1(key->keysym);
    const std::optional<QString> text = layout.unmodifiedText(keyCode);
    const QList<uint> codePoints = text ? text->toUcs4() : QList<uint>();
    if (codePoints.size() != 1)
        return std::nullopt;
    const uint codePoint = codePoints.front();
    if (codePoint < 0x80) {
        const char character = char(codePoint);
        if (QChar::isLetterOrNumber(codePoint))
            return QString(QChar(character)).toLower();
        for (const auto& [punctuation, name] : punctuationKeysyms) {
            if (punctuation == character)
                return QString::fromLatin1(name);
        }
        return std::nullopt;
    }
    // XKB reads "U" and the code point as the keysym of that character.
    return QStringLiteral("U%1").arg(codePoint, 4, 16, QChar(u'0')).toUpper();
}

std::optional<uint32_t> HotkeyShortcut::keyCodeForKeysymName(const QString& name,
                                                             KeyCharacters& layout)
{
    for (const NamedKey& key : namedKeys) {
        if (name.compare(QLatin1String(key.keysym), Qt::CaseInsensitive) == 0)
            return key.keyCode;
    }
    for (const KeyPositions::Entry& position : KeyPositions::all()) {
        if (namedKey(position.virtualKey))
            continue;
        const std::optional<QString> keysym =
            HotkeyShortcut{position.virtualKey, 0}.keysymName(layout);
        if (keysym && keysym->compare(name, Qt::CaseInsensitive) == 0)
            return position.virtualKey;
    }
    return std::nullopt;
}
