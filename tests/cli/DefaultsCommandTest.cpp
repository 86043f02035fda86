// SPDX-License-Identifier: MIT
#include "cli/DefaultsCommand.h"

#include "settings/CommandRunner.h"
#include "settings/Preferences.h"
#include "settings/SettingsTestSupport.h"
#include "support/TestEnvironment.h"

#include <QJsonArray>
#include <gtest/gtest.h>

namespace {

CommandResult defaults(const QStringList& arguments)
{
    return runCommand(defaultsCommand, arguments);
}

class DefaultsCommandTest : public ::testing::Test {
protected:
    QString path() const { return home.defaultsPath(); }
    ScopedConfigHome home;
};

struct WriteRow {
    const char* name;
    QStringList arguments; // after "write key"
    QJsonValue stored;
};

class DefaultsWriteTest : public DefaultsCommandTest,
                          public ::testing::WithParamInterface<WriteRow> {};

TEST_P(DefaultsWriteTest, StoresTheValueWithItsType)
{
    const CommandResult result = defaults(QStringList{"write", "key"} + GetParam().arguments);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QString());
    EXPECT_EQ(result.err, QString());
    EXPECT_EQ(readJsonFile(path()).value(QStringLiteral("key")), GetParam().stored);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, DefaultsWriteTest, ::testing::Values(
    WriteRow{"plainText", {"hello world"}, "hello world"},
    WriteRow{"digitsWithoutFlagStayText", {"17"}, "17"},
    WriteRow{"negativeNumberIsNotAFlag", {"-5"}, "-5"},
    WriteRow{"explicitString", {"-string", "17"}, "17"},
    WriteRow{"stringThatLooksLikeAFlag", {"-string", "-int"}, "-int"},
    WriteRow{"integer", {"-int", "42"}, 42},
    WriteRow{"negativeInteger", {"-int", "-7"}, -7},
    WriteRow{"largestInteger", {"-int", "9223372036854775807"},
             QJsonValue(std::numeric_limits<qint64>::max())},
    WriteRow{"boolTrue", {"-bool", "true"}, true},
    WriteRow{"boolYesCapitalised", {"-bool", "YES"}, true},
    WriteRow{"boolOne", {"-bool", "1"}, true},
    WriteRow{"boolNo", {"-bool", "no"}, false},
    WriteRow{"boolZero", {"-bool", "0"}, false},
    WriteRow{"array", {"-array", "translate", "fix grammar"}, QJsonArray{"translate", "fix grammar"}},
    WriteRow{"arrayOfFlagLikeWords", {"-array", "-int", "5"}, QJsonArray{"-int", "5"}},
    WriteRow{"emptyArray", {"-array"}, QJsonArray{}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

class DefaultsBadInputTest : public DefaultsCommandTest,
                             public ::testing::WithParamInterface<QStringList> {};

TEST_P(DefaultsBadInputTest, ExplainsInOneLineAndLeavesTheFileAlone)
{
    const QByteArray before = R"({"key": "unchanged", "other": 1})";
    writeRawFile(path(), before);

    const CommandResult result = defaults(GetParam());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, QString());
    EXPECT_TRUE(result.err.startsWith(QStringLiteral("quillmark defaults: ")))
        << result.err.toStdString();
    EXPECT_TRUE(result.err.endsWith(QLatin1Char('\n')));
    EXPECT_EQ(result.err.count(QLatin1Char('\n')), 1) << result.err.toStdString();
    EXPECT_EQ(readRawFile(path()), before);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, DefaultsBadInputTest, ::testing::Values(
    QStringList{},
    QStringList{"remove", "key"},
    QStringList{"write"},
    QStringList{"write", "key"},
    QStringList{"write", "key", "a", "b"},
    QStringList{"write", "key", "-int"},
    QStringList{"write", "key", "-int", "4x"},
    QStringList{"write", "key", "-int", "1.5"},
    QStringList{"write", "key", "-int", "9223372036854775808"},
    QStringList{"write", "key", "-int", "1", "2"},
    QStringList{"write", "key", "-bool", "maybe"},
    QStringList{"write", "key", "-bool"},
    QStringList{"write", "key", "-float", "1.5"},
    QStringList{"write", "key", "-string", "a", "b"},
    QStringList{"read", "key", "other"},
    QStringList{"delete"},
    QStringList{"delete", "key", "other"}));
// clang-format on

struct ReadRow {
    const char* name;
    QByteArray stored;
    QString printed;
};

class DefaultsReadTest : public DefaultsCommandTest,
                         public ::testing::WithParamInterface<ReadRow> {};

TEST_P(DefaultsReadTest, PrintsStringsRawAndEverythingElseAsJson)
{
    writeRawFile(path(), QByteArray(R"({"key": )") + GetParam().stored + "}");
    const CommandResult result = defaults({"read", "key"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, GetParam().printed);
    EXPECT_EQ(result.err, QString());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, DefaultsReadTest, ::testing::Values(
    ReadRow{"string", R"("gpt-4o")", "gpt-4o\n"},
    ReadRow{"stringOfDigits", R"("17")", "17\n"},
    ReadRow{"stringWithQuotes", R"("say \"hi\"")", "say \"hi\"\n"},
    ReadRow{"integer", "17", "17\n"},
    ReadRow{"largeInteger", "9223372036854775807", "9223372036854775807\n"},
    ReadRow{"fraction", "1.5", "1.5\n"},
    ReadRow{"boolean", "false", "false\n"},
    ReadRow{"array", R"(["translate", "improvePrompt"])", "[\"translate\",\"improvePrompt\"]\n"},
    ReadRow{"object", R"({"a": 1})", "{\"a\":1}\n"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(DefaultsCommandTest, ReadWithoutAKeyPrintsTheWholeDomain)
{
    EXPECT_EQ(defaults({"read"}).out, QStringLiteral("{\n}\n"));

    writeRawFile(path(), R"({"useOwnAPIKey":true,"hotkeyKeyCode":49})");
    const CommandResult result = defaults({"read"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, QStringLiteral("{\n"
                                         "    \"hotkeyKeyCode\": 49,\n"
                                         "    \"useOwnAPIKey\": true\n"
                                         "}\n"));
}

TEST_F(DefaultsCommandTest, AnAbsentKeyIsAFailureWithAMessage)
{
    writeRawFile(path(), R"({"other": 1, "nothing": null})");
    for (const char* key : {"model", "nothing"}) {
        SCOPED_TRACE(key);
        const CommandResult result = defaults({"read", key});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, QString());
        EXPECT_EQ(result.err, QStringLiteral("quillmark defaults: no value for %1\n").arg(key));
    }
}

TEST_F(DefaultsCommandTest, DeleteRemovesOnlyThatKey)
{
    writeRawFile(path(), R"({"model": "gpt-4o", "panelWidth": "wide"})");
    const CommandResult deleted = defaults({"delete", "model"});
    EXPECT_EQ(deleted.exitCode, 0);
    EXPECT_EQ(deleted.out + deleted.err, QString());
    EXPECT_EQ(readJsonFile(path()), (QJsonObject{{QStringLiteral("panelWidth"), "wide"}}));

    const QByteArray before = readRawFile(path());
    const CommandResult absent = defaults({"delete", "model"});
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_EQ(absent.err, QStringLiteral("quillmark defaults: no value for model\n"));
    EXPECT_EQ(readRawFile(path()), before);
}

TEST_F(DefaultsCommandTest, AWriteThatCannotBeSavedFails)
{
    writeRawFile(home.path() + QStringLiteral("/xdg0/quillmark"), "a file, not a folder");
    const CommandResult result = defaults({"write", "model", "gpt-4o"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, QStringLiteral("quillmark defaults: could not write %1\n").arg(path()));
}

TEST_F(DefaultsCommandTest, WritingOverABrokenFileKeepsItsText)
{
    writeRawFile(path(), "{ \"model\": gpt-4o }");
    EXPECT_EQ(defaults({"read"}).out, QStringLiteral("{\n}\n"));
    EXPECT_EQ(defaults({"write", "model", "gpt-4o"}).exitCode, 0);
    EXPECT_EQ(readRawFile(path() + QStringLiteral(".broken")), QByteArray("{ \"model\": gpt-4o }"));
    EXPECT_EQ(defaults({"read", "model"}).out, QStringLiteral("gpt-4o\n"));
}

TEST_F(DefaultsCommandTest, CredentialsComeFromStandardInputAndNeverWithALineBreak)
{
    const CommandResult stored =
        runCommand(defaultsCommand, {"write", "proxyToken", "-stdin"}, " tok-Zq81\n");
    EXPECT_EQ(stored.exitCode, 0) << stored.err.toStdString();
    EXPECT_EQ(Preferences::string(DefaultsKey::proxyToken), QStringLiteral("tok-Zq81"));

    struct Row {
        QStringList arguments;
        QByteArray input;
        QString err;
    };
    const QString refused =
        " contains a line break or another control character; nothing was written";
    // clang-format off
    const Row rows[] = {
        {{"write", "proxyToken", "-stdin"}, " \n", "no value on standard input (or not UTF-8); nothing was written"},
        {{"write", "proxyToken", "-stdin"}, "Zq81\r\nX-Injected: 1", "proxyToken" + refused},
        {{"write", "proxyToken", "Zq81\nX-Injected: 1"}, "", "proxyToken" + refused},
        {{"write", "deviceID", "-string", "Zq81\x1b[2J"}, "", "deviceID" + refused},
    };
    // clang-format on
    const QByteArray before = readRawFile(path());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments.join(u' ').toStdString());
        const CommandResult result = runCommand(defaultsCommand, row.arguments, row.input);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, "quillmark defaults: " + row.err + u'\n');
        EXPECT_EQ(readRawFile(path()), before);
    }
}

TEST_F(DefaultsCommandTest, WhatTheCommandWritesTheApplicationReadsAtOnce)
{
    ASSERT_EQ(defaults({"write", "popoverLayout", "list"}).exitCode, 0);
    EXPECT_EQ(Preferences::popoverLayout(), PopoverLayout::list);

    ASSERT_EQ(
        defaults({"write", "enabledActions", "-array", "improvePrompt", "translate"}).exitCode, 0);
    EXPECT_EQ(Preferences::activeActions(),
              (QList<PopoverAction>{PopoverAction::translate, PopoverAction::improvePrompt}));

    // Without -int the key code is text, which the shortcut does not accept.
    ASSERT_EQ(defaults({"write", "hotkeyKeyCode", "49"}).exitCode, 0);
    EXPECT_EQ(Preferences::hotkeyShortcut(), HotkeyShortcut::defaultShortcut());
    ASSERT_EQ(defaults({"write", "hotkeyKeyCode", "-int", "49"}).exitCode, 0);
    EXPECT_EQ(Preferences::hotkeyShortcut(), (HotkeyShortcut{49, 0}));
}

} // namespace
