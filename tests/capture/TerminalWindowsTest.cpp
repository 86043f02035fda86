// SPDX-License-Identifier: MIT
#include "capture/TerminalWindows.h"

#include "settings/UserDefaults.h"
#include "support/TestEnvironment.h"

#include <QJsonArray>
#include <gtest/gtest.h>

namespace {

bool isTerminal(const char* wmClass)
{
    return TerminalWindows::isTerminal(
        TargetApplication{1, 2, QString::fromLatin1(wmClass), "title"});
}

TEST(TerminalWindows, KnownTerminalsOrTheUsersListAreRecognisedWhateverTheCase)
{
    ScopedConfigHome home;
    const std::pair<const char*, bool> rows[] = {
        {"XTerm", true},     {"xterm", true}, {"org.wezfurlong.wezterm", true},
        {"Mousepad", false}, {"", false},     {"term", false},
    };
    for (const auto& [wmClass, terminal] : rows) {
        SCOPED_TRACE(wmClass);
        EXPECT_EQ(isTerminal(wmClass), terminal);
        EXPECT_EQ(TerminalWindows::chordStyle(TargetApplication{1, 2, wmClass, {}}),
                  terminal ? ChordStyle::terminal : ChordStyle::standard);
    }
    EXPECT_FALSE(TerminalWindows::isTerminal(std::nullopt));

    // The user's list replaces the built-in one; one it cannot read falls back to it.
    const auto setClasses = [](const QJsonValue& value) {
        ASSERT_TRUE(
            UserDefaults::standard().set(QString::fromLatin1(TerminalWindows::defaultsKey), value));
    };
    setClasses(QJsonArray{"MyTerm"});
    EXPECT_TRUE(isTerminal("myterm"));
    EXPECT_FALSE(isTerminal("XTerm"));
    setClasses(QJsonArray{});
    EXPECT_FALSE(isTerminal("kitty"));
    for (const QJsonValue& value :
         {QJsonValue("MyTerm"), QJsonValue(QJsonArray{"MyTerm", 3}), QJsonValue(true)}) {
        setClasses(value);
        EXPECT_EQ(TerminalWindows::classes(), TerminalWindows::builtInClasses());
    }
}

} // namespace
