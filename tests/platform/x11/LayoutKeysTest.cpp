// SPDX-License-Identifier: MIT
#include "platform/x11/LayoutKeys.h"

#include <gtest/gtest.h>
#include <memory>
#include <xkbcommon/xkbcommon-keysyms.h>

namespace {

struct ContextUnref {
    void operator()(xkb_context* context) const { xkb_context_unref(context); }
};
struct KeymapUnref {
    void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};

// The keymap an X server has after `setxkbmap -layout LAYOUT -variant VARIANT`.
std::unique_ptr<xkb_keymap, KeymapUnref> keymapOf(const char* layout, const char* variant)
{
    static std::unique_ptr<xkb_context, ContextUnref> context(
        xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    const xkb_rule_names names{"evdev", "pc105", layout, variant, nullptr};
    return std::unique_ptr<xkb_keymap, KeymapUnref>(
        xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
}

// Evdev keycodes of the QWERTY positions the rows name.
constexpr xkb_keycode_t cKey = 54, vKey = 55, iKey = 31, kKey = 45;

TEST(LayoutKeys, LettersAreFoundWhereTheLiveLayoutHasThem)
{
    const struct {
        const char* layout;
        const char* variant;
        xkb_layout_index_t activeGroup;
        xkb_keysym_t keysym;
        std::optional<xkb_keycode_t> keycode;
    } rows[] = {
        {"us", "", 0, XKB_KEY_c, cKey},
        // Dvorak moves the letters: C sits on the QWERTY I.
        {"us", "dvorak", 0, XKB_KEY_c, iKey},
        // With the Russian group active the Latin group answers, at the same positions.
        {"us,ru", ",", 1, XKB_KEY_c, cKey},
        {"ru,us", ",", 0, XKB_KEY_v, vKey},
        // A Dvorak group second still wins over QWERTY first while it is active.
        {"us,us", ",dvorak", 1, XKB_KEY_c, iKey},
        // In the Russian group itself the key that types es (с) is the C key.
        {"us,ru", ",", 1, XKB_KEY_Cyrillic_es, cKey},
        {"ru", "", 0, XKB_KEY_c, std::nullopt},
        {"us", "", 0, XKB_KEY_Cyrillic_ka, std::nullopt},
        {"us,ru", ",", 1, XKB_KEY_Shift_L, 50},
        {"us", "", 5, XKB_KEY_k, kKey},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.layout) + "(" + row.variant + ") group " +
                     std::to_string(row.activeGroup) + " keysym " + std::to_string(row.keysym));
        const auto keymap = keymapOf(row.layout, row.variant);
        ASSERT_TRUE(keymap);
        EXPECT_EQ(LayoutKeys::keycodeFor(keymap.get(), row.activeGroup, row.keysym), row.keycode);
    }
}

} // namespace
