// SPDX-License-Identifier: MIT
#include "platform/xkb/XkbKeyboardLayout.h"

#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// Without a display the keymap comes from the XKB rule names in the environment.
class ScopedRulesLayout {
public:
    explicit ScopedRulesLayout(const char* layout)
    {
        m_environment.unset("DISPLAY");
        for (const char* name : {"XKB_DEFAULT_RULES", "XKB_DEFAULT_MODEL", "XKB_DEFAULT_VARIANT",
                                 "XKB_DEFAULT_OPTIONS"})
            m_environment.unset(name);
        m_environment.set("XKB_DEFAULT_LAYOUT", layout);
    }

private:
    ScopedEnvironment m_environment;
};

// The first level of the first group: the text a key types without modifiers; asked again,
// the kept keymap answers the same.
TEST(XkbLayoutWithoutDisplay, TypesTheFirstLevelOfTheFirstGroup)
{
    const std::tuple<const char*, uint32_t, std::optional<QString>> rows[] = {
        // clang-format off
        {"us", 17, "t"}, {"us", 10, "<"}, // the ISO key of a 105-key keyboard
        {"us", 67, "*"},          // keypad *
        {"us", 83, std::nullopt}, // keypad 1 is End while Num Lock is off
        {"us", 36, std::nullopt}, // Return types a control character
        {"us", 52, std::nullopt}, // no key has 52
        {"us,ru", 17, "t"},       // only the first group counts without a display
        {"de", 16, "z"}, {"de", 6, "y"}, {"de", 50, "^"}, // dead keys show their accent
        {"ru", 17, "е"}, {"no-such-layout", 17, std::nullopt},
        // clang-format on
    };
    for (const auto& [name, virtualKey, text] : rows) {
        SCOPED_TRACE(std::string(name) + " key " + std::to_string(virtualKey));
        ScopedRulesLayout rules(name);
        XkbKeyboardLayout layout;
        EXPECT_EQ(layout.unmodifiedText(virtualKey), text);
        EXPECT_EQ(layout.unmodifiedText(virtualKey), text);
    }
}

} // namespace
