// SPDX-License-Identifier: MIT
#include "cli/DefaultsCommand.h"

#include "cli/CommandRunner.h"
#include "settings/Preferences.h"
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
    Preferences preferences{UserDefaults::standard()};
};

TEST_F(DefaultsCommandTest, WriteStoresTheValueWithItsType)
{
    const std::pair<QStringList, QJsonValue> rows[] = {
        // arguments after "write key", stored
        // clang-format off
        {{"hello world"}, "hello world"}, {{"17"}, "17"}, // digits without a flag stay text
        {{"-5"}, "-5"}, // a negative number is not a flag
        {{"-string", "17"}, "17"}, {{"-string", "-int"}, "-int"},
        {{"-int", "42"}, 42}, {{"-int", "-7"}, -7},
        {{"-int", "9223372036854775807"}, QJsonValue(std::numeric_limits<qint64>::max())},
        {{"-bool", "true"}, true}, {{"-bool", "YES"}, true}, {{"-bool", "1"}, true},
        {{"-bool", "no"}, false}, {{"-bool", "0"}, false},
        {{"-array", "translate", "fix grammar"}, QJsonArray{"translate", "fix grammar"}},
        {{"-array", "-int", "5"}, QJsonArray{"-int", "5"}}, {{"-array"}, QJsonArray{}},
        // clang-format on
    };
    for (const auto& [arguments, stored] : rows) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const CommandResult result = defaults(QStringList{"write", "key"} + arguments);
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(result.out + result.err, QString());
        EXPECT_EQ(readJsonFile(path()).value(QStringLiteral("key")), stored);
    }
}

TEST_F(DefaultsCommandTest, BadCommandLinesExplainInOneLineAndLeaveTheFileAlone)
{
    const QByteArray before = R"({"key": "unchanged", "other": 1})";
    const QStringList rows[] = {
        // clang-format off
        {}, {"remove", "key"}, {"write"}, {"write", "key"}, {"write", "key", "a", "b"},
        {"write", "key", "-int"}, {"write", "key", "-int", "4x"}, {"write", "key", "-int", "1.5"},
        {"write", "key", "-int", "9223372036854775808"}, {"write", "key", "-int", "1", "2"},
        {"write", "key", "-bool", "maybe"}, {"write", "key", "-bool"}, {"write", "key", "-float", "1.5"},
        {"write", "key", "-string", "a", "b"}, {"read", "key", "other"}, {"delete"},
        {"delete", "key", "other"},
        // clang-format on
    };
    for (const QStringList& arguments : rows) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        writeRawFile(path(), before);
        const CommandResult result = defaults(arguments);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.out, QString());
        EXPECT_TRUE(result.err.startsWith(QStringLiteral("quillmark defaults: ")))
            << result.err.toStdString();
        EXPECT_TRUE(result.err.endsWith(QLatin1Char('\n')));
        EXPECT_EQ(result.err.count(QLatin1Char('\n')), 1) << result.err.toStdString();
        EXPECT_EQ(readRawFile(path()), before);
    }
}

TEST_F(DefaultsCommandTest, ReadPrintsStringsRawAndEverythingElseAsJson)
{
    const std::pair<QByteArray, QString> rows[] = {
        // stored, printed
        // clang-format off
        {R"("gpt-4o")", "gpt-4o\n"}, {R"("17")", "17\n"}, {R"("say \"hi\"")", "say \"hi\"\n"},
        {"17", "17\n"}, {"9223372036854775807", "9223372036854775807\n"}, {"1.5", "1.5\n"},
        {"false", "false\n"}, {R"(["translate", "improvePrompt"])", "[\"translate\",\"improvePrompt\"]\n"},
        {R"({"a": 1})", "{\"a\":1}\n"},
        // clang-format on
    };
    for (const auto& [stored, printed] : rows) {
        SCOPED_TRACE(stored.toStdString());
        writeRawFile(path(), QByteArray(R"({"key": )") + stored + "}");
        const CommandResult result = defaults({"read", "key"});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out, printed);
        EXPECT_EQ(result.err, QString());
    }
}

TEST_F(DefaultsCommandTest, DeleteRemovesOnlyThatKeyAndCredentialsComeFromStandardInput)
{
    writeRawFile(path(), R"({"model": "gpt-4o", "panelWidth": "wide"})");
    const CommandResult deleted = defaults({"delete", "model"});
    EXPECT_EQ(deleted.exitCode, 0);
    EXPECT_EQ(deleted.out + deleted.err, QString());
    EXPECT_EQ(readJsonFile(path()), (QJsonObject{{"panelWidth", "wide"}}));

    const CommandResult stored =
        runCommand(defaultsCommand, {"write", "proxyToken", "-stdin"}, " tok-Zq81\n");
    EXPECT_EQ(stored.exitCode, 0) << stored.err.toStdString();
    EXPECT_EQ(preferences.string(DefaultsKey::proxyToken), QStringLiteral("tok-Zq81"));
}

// An absent key, and a credential that is missing or holds a line break.
TEST_F(DefaultsCommandTest, FailuresSayWhyInOneLineAndLeaveTheFileAlone)
{
    const QString refused =
        " contains a line break or another control character; nothing was written";
    const struct {
        QStringList arguments;
        QByteArray input;
        QString err;
    } rows[] = {
        // clang-format off
        {{"delete", "model"}, "", "no value for model"},
        {{"read", "model"}, "", "no value for model"},
        {{"read", "nothing"}, "", "no value for nothing"},
        {{"write", "proxyToken", "-stdin"}, " \n", "no value on standard input (or not UTF-8); nothing was written"},
        {{"write", "proxyToken", "-stdin"}, "Zq81\r\nX-Injected: 1", "proxyToken" + refused},
        {{"write", "proxyToken", "Zq81\nX-Injected: 1"}, "", "proxyToken" + refused},
        {{"write", "deviceID", "-string", "Zq81\x1b[2J"}, "", "deviceID" + refused},
        // clang-format on
    };
    writeRawFile(path(), R"({"panelWidth": "wide", "nothing": null})");
    const QByteArray before = readRawFile(path());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(u' ').toStdString());
        const CommandResult result = runCommand(defaultsCommand, row.arguments, row.input);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, QString());
        EXPECT_EQ(result.err, "quillmark defaults: " + row.err + u'\n');
        EXPECT_EQ(readRawFile(path()), before);
    }

    // A write that cannot be saved.
    ASSERT_TRUE(QDir(QFileInfo(path()).absolutePath()).removeRecursively());
    writeRawFile(home.path() + QStringLiteral("/xdg0/quillmark"), "a file, not a folder");
    const CommandResult result = defaults({"write", "model", "gpt-4o"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, QStringLiteral("quillmark defaults: could not write %1\n").arg(path()));
}

} // namespace
