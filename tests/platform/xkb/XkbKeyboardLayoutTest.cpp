// SPDX-License-Identifier: MIT
#include "platform/xkb/XkbKeyboardLayout.h"

#include "support/ScopedEnvironment.h"

#include <cctype>
#include <gtest/gtest.h>
#include <string>

namespace {

// Without a display the keymap comes from the XKB rule names in the environment.
class ScopedRulesLayout {
public:
    explicit ScopedRulesLayout(const char* layout, const char* display = nullptr)
    {
        if (display)
            m_environment.set("DISPLAY", display);
        else
            m_environment.unset("DISPLAY");
        for (const char* name : {"XKB_DEFAULT_RULES", "XKB_DEFAULT_MODEL", "XKB_DEFAULT_VARIANT",
                                 "XKB_DEFAULT_OPTIONS"})
            m_environment.unset(name);
        m_environment.set("XKB_DEFAULT_LAYOUT", layout);
    }

private:
    ScopedEnvironment m_environment;
};

struct TextRow {
    const char* layout;
    uint32_t virtualKey;
    std::optional<const char*> text;
};

void PrintTo(const TextRow& row, std::ostream* os)
{
    *os << row.layout << " key " << row.virtualKey;
}

class XkbLayoutWithoutDisplay : public ::testing::TestWithParam<TextRow> {};

TEST_P(XkbLayoutWithoutDisplay, TypesTheFirstLevelOfTheFirstGroup)
{
    const TextRow& row = GetParam();
    ScopedRulesLayout rules(row.layout);
    XkbKeyboardLayout layout;
    const std::optional<QString> expected =
        row.text ? std::optional<QString>(QString::fromUtf8(*row.text)) : std::nullopt;
    EXPECT_EQ(layout.unmodifiedText(row.virtualKey), expected);
    // The keymap is kept, and asking again answers the same.
    EXPECT_EQ(layout.unmodifiedText(row.virtualKey), expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, XkbLayoutWithoutDisplay, ::testing::Values(
    TextRow{"us", 17, "t"},
    TextRow{"us", 10, "<"},      // the ISO key of a 105-key keyboard
    TextRow{"us", 67, "*"},      // keypad *
    TextRow{"us", 83, std::nullopt},  // keypad 1 is End while Num Lock is off
    TextRow{"us", 36, std::nullopt},  // Return types a control character
    TextRow{"us", 122, std::nullopt}, // F1 types nothing
    TextRow{"us", 52, std::nullopt},  // no key has this code
    TextRow{"us,ru", 17, "t"},   // only the first group counts without a display
    TextRow{"de", 16, "z"},
    TextRow{"de", 6, "y"},
    TextRow{"de", 50, "^"},      // dead keys show their accent
    TextRow{"fr", 18, "&"},
    TextRow{"ru", 17, "е"},
    TextRow{"no-such-layout", 17, std::nullopt}),
    [](const auto& info) {
        std::string name = std::string(info.param.layout) + "_" + std::to_string(info.param.virtualKey);
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });
// clang-format on

TEST(XkbLayoutUnreachableDisplay, FallsBackToTheRuleNames)
{
    ScopedRulesLayout rules("de", ":9876");
    XkbKeyboardLayout layout;
    EXPECT_EQ(layout.unmodifiedText(16), "z");
}

TEST(XkbLayoutRuleNames, AreReadWhenTheFirstQuestionIsAsked)
{
    ScopedRulesLayout rules("us");
    XkbKeyboardLayout layout;
    ScopedRulesLayout french("fr");
    EXPECT_EQ(layout.unmodifiedText(12), "a");
}

} // namespace
