// SPDX-License-Identifier: MIT
#include "capture/TerminalWindows.h"

#include "settings/Preferences.h"
#include "support/TestEnvironment.h"

#include <QJsonArray>
#include <gtest/gtest.h>

namespace {

TEST(TerminalWindows, KnownTerminalsOrTheUsersListAreRecognisedWhateverTheCase)
{
    ScopedConfigHome home;
    const Preferences preferences{UserDefaults::standard()};
    const struct {
        QJsonValue classes; // the user's list; null for none
        const char* wmClass;
        bool terminal;
    } rows[] = {
        // clang-format off
        {{}, "XTerm", true}, {{}, "xterm", true}, {{}, "org.wezfurlong.wezterm", true},
        {{}, "Mousepad", false}, {{}, "", false}, {{}, "term", false},
        // The user's list replaces the built-in one; one it cannot read falls back to it.
        {QJsonArray{"MyTerm"}, "myterm", true}, {QJsonArray{"MyTerm"}, "XTerm", false},
        {QJsonArray{}, "kitty", false}, {"MyTerm", "XTerm", true},
        {QJsonArray{"MyTerm", 3}, "XTerm", true}, {true, "XTerm", true},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.wmClass);
        if (!row.classes.isNull()) {
            ASSERT_TRUE(UserDefaults::standard().set(TerminalWindows::defaultsKey, row.classes));
        }
        EXPECT_EQ(
            TerminalWindows::chordStyle(preferences, TargetApplication{1, 2, row.wmClass, "title"}),
            row.terminal ? ChordStyle::terminal : ChordStyle::standard);
    }
    EXPECT_FALSE(TerminalWindows::isTerminal(preferences, std::nullopt));
}

} // namespace
