// SPDX-License-Identifier: MIT
#include "platform/x11/X11ModifierMasks.h"

#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

// X's modifier bits, as the protocol numbers them.
constexpr uint16_t shiftMask = 1, lockMask = 2, controlMask = 4, mod1 = 8, mod2 = 16, mod3 = 32,
                   mod4 = 64, mod5 = 128;

// Keysyms of the keys these keymaps put on modifiers.
constexpr uint32_t superL = 0xffeb, superR = 0xffec, altL = 0xffe9, metaL = 0xffe7, hyperL = 0xffed,
                   numLock = 0xff7f, scrollLock = 0xff14, capsLock = 0xffe5, levelThree = 0xfe03;

// A keyboard described the way xmodmap -pm shows it: which keys, by their keysyms, sit on
// which modifier. Every key gets a keycode of its own, two levels each.
class Keymap {
public:
    Keymap& on(int row, std::vector<uint32_t> keysymsOfKey)
    {
        const uint8_t keycode = m_nextKeycode++;
        keysymsOfKey.resize(levels, 0);
        for (int level = 0; level < levels; ++level)
            m_keysyms[size_t(keycode - minKeycode) * levels + size_t(level)] =
                keysymsOfKey[size_t(level)];
        m_rows[row].push_back(keycode);
        return *this;
    }

    X11ModifierMasks masks() const
    {
        const uint8_t perModifier = 3;
        std::vector<uint8_t> modifierKeycodes(8 * perModifier, 0);
        for (const auto& [row, keycodes] : m_rows) {
            for (size_t i = 0; i < keycodes.size(); ++i)
                modifierKeycodes[size_t(row) * perModifier + i] = keycodes[i];
        }
        return X11ModifierMasks::fromMapping(modifierKeycodes, perModifier,
                                             {minKeycode, levels, m_keysyms});
    }

private:
    static constexpr uint8_t minKeycode = 8;
    static constexpr uint8_t levels = 2;
    uint8_t m_nextKeycode = 20;
    std::vector<uint32_t> m_keysyms = std::vector<uint32_t>(size_t(256 - minKeycode) * levels, 0);
    std::map<int, std::vector<uint8_t>> m_rows;
};

// Rows of the modifier mapping.
constexpr int lockRow = 1, mod1Row = 3, mod2Row = 4, mod3Row = 5, mod4Row = 6, mod5Row = 7;

TEST(X11ModifierMasks, AreReadFromWhereTheKeymapPutsTheKeys)
{
    struct Row {
        const char* name;
        Keymap keymap;
        X11ModifierMasks expected;
    };
    const Row rows[] = {
        // clang-format off
        {"a PC keymap: Alt and Meta on Mod1, Num Lock on Mod2, Super and Hyper on Mod4",
         Keymap().on(lockRow, {capsLock}).on(mod1Row, {altL, metaL}).on(mod2Row, {numLock}).on(mod4Row, {superL})
             .on(mod4Row, {superR}).on(mod4Row, {0, hyperL}).on(mod5Row, {levelThree}),
         {mod4, mod1, mod2, 0}},
        {"Num Lock on Mod3 and Scroll Lock on Mod5",
         Keymap().on(mod1Row, {altL}).on(mod3Row, {numLock}).on(mod4Row, {superL}).on(mod5Row, {scrollLock}),
         {mod4, mod1, mod3, mod5}},
        {"Super found on a second level, on Mod3", Keymap().on(mod1Row, {altL}).on(mod3Row, {hyperL, superL}), {mod3, mod1, 0, 0}},
        {"a keymap without Super", Keymap().on(mod1Row, {altL}).on(mod2Row, {numLock}), {0, mod1, mod2, 0}},
        {"keys on Shift, Lock and Control rows never count", Keymap().on(0, {superL}).on(lockRow, {numLock}).on(2, {altL}), {0, 0, 0, 0}},
        // clang-format on
    };
    for (const Row& row : rows) {
        const X11ModifierMasks masks = row.keymap.masks();
        EXPECT_EQ(std::tuple(masks.super, masks.alt, masks.numLock, masks.scrollLock),
                  std::tuple(row.expected.super, row.expected.alt, row.expected.numLock,
                             row.expected.scrollLock))
            << row.name;
    }
}

TEST(X11ModifierMasks, TranslateTheStoredModifiers)
{
    const X11ModifierMasks pc{mod4, mod1, mod2, 0};
    const std::pair<uint32_t, std::optional<uint16_t>> rows[] = {
        {0x0000, 0},
        {0x0900, mod4 | mod1},
        {0x1B00, controlMask | mod1 | shiftMask | mod4},
    };
    for (auto [carbon, expected] : rows) {
        SCOPED_TRACE(carbon);
        EXPECT_EQ(pc.forCarbon(carbon), expected);
    }

    EXPECT_EQ((X11ModifierMasks{0, mod1, mod2, 0}.forCarbon(0x0900)), std::nullopt); // no Super
    EXPECT_EQ((X11ModifierMasks{mod4, 0, 0, 0}.forCarbon(0x0800)), std::nullopt);    // no Alt
}

TEST(X11ModifierMasks, GrabEveryStateTheLockKeysMayBeIn)
{
    struct Row {
        const char* name;
        X11ModifierMasks masks;
        uint16_t modifiers;
        std::vector<uint16_t> expected;
    };
    const uint16_t superAlt = mod4 | mod1;
    const Row rows[] = {
        // clang-format off
        {"Caps Lock and Num Lock", {mod4, mod1, mod2, 0}, superAlt, {superAlt, superAlt | lockMask, superAlt | mod2, superAlt | lockMask | mod2}},
        {"all three locks", {mod4, mod1, mod2, mod3}, 0, {0, lockMask, mod2, lockMask | mod2, mod3, lockMask | mod3, mod2 | mod3, lockMask | mod2 | mod3}},
        {"Num Lock and Scroll Lock on one modifier", {mod4, mod1, mod2, mod2}, controlMask, {controlMask, controlMask | lockMask, controlMask | mod2, controlMask | lockMask | mod2}},
        {"a lock bit the shortcut itself uses", {mod2, mod1, mod2, 0}, mod2, {mod2, mod2 | lockMask}},
        // clang-format on
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.masks.withLockCombinations(row.modifiers), row.expected) << row.name;

    EXPECT_EQ((X11ModifierMasks{mod4, mod1, mod2, mod5}.lockMask()), lockMask | mod2 | mod5);
    EXPECT_EQ((X11ModifierMasks{mod4, mod1, 0, 0}.lockMask()), lockMask);
}

} // namespace
