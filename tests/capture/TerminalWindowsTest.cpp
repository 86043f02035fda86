// SPDX-License-Identifier: MIT
#include "capture/TerminalWindows.h"

#include "settings/UserDefaults.h"
#include "support/TestEnvironment.h"

#include <QJsonArray>
#include <gtest/gtest.h>

namespace {

TargetApplication windowOf(const QString& wmClass)
{
    return TargetApplication{1, 2, wmClass, QStringLiteral("title")};
}

void setClasses(const QJsonValue& value)
{
    ASSERT_TRUE(
        UserDefaults::standard().set(QString::fromLatin1(TerminalWindows::defaultsKey), value));
}

TEST(TerminalWindows, KnownTerminalsAreRecognisedWhateverTheCase)
{
    ScopedConfigHome home;
    const struct {
        const char* wmClass;
        bool terminal;
    } rows[] = {
        {"XTerm", true},     {"xterm", true}, {"org.wezfurlong.wezterm", true},
        {"Mousepad", false}, {"", false},     {"term", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.wmClass);
        const TargetApplication window = windowOf(QString::fromLatin1(row.wmClass));
        EXPECT_EQ(TerminalWindows::isTerminal(window), row.terminal);
        EXPECT_EQ(TerminalWindows::chordStyle(window),
                  row.terminal ? ChordStyle::terminal : ChordStyle::standard);
    }
    EXPECT_FALSE(TerminalWindows::isTerminal(std::nullopt));
}

TEST(TerminalWindows, TheUserDefaultReplacesTheBuiltInList)
{
    ScopedConfigHome home;
    setClasses(QJsonArray{"MyTerm"});

    EXPECT_TRUE(TerminalWindows::isTerminal(windowOf(QStringLiteral("myterm"))));
    EXPECT_FALSE(TerminalWindows::isTerminal(windowOf(QStringLiteral("XTerm"))));

    setClasses(QJsonArray{});
    EXPECT_FALSE(TerminalWindows::isTerminal(windowOf(QStringLiteral("kitty"))));
}

TEST(TerminalWindows, AnUnreadableUserDefaultFallsBackToTheBuiltInList)
{
    ScopedConfigHome home;
    for (const QJsonValue& value : {QJsonValue(QStringLiteral("MyTerm")),
                                    QJsonValue(QJsonArray{"MyTerm", 3}), QJsonValue(true)}) {
        setClasses(value);
        EXPECT_EQ(TerminalWindows::classes(), TerminalWindows::builtInClasses());
    }
}

} // namespace
