// SPDX-License-Identifier: MIT
#include "cli/DefaultsCommand.h"

#include "cli/CommandRunner.h"
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

// Written, stored with its type, and read back: strings raw, everything else as JSON.
TEST_F(DefaultsCommandTest, WriteStoresTheValueWithItsTypeReadPrintsItAndDeleteRemovesOnlyItsKey)
{
    const struct {
        QStringList arguments; // after "write key"
        QJsonValue stored;
        QString printed;
    } rows[] = {
        // clang-format off
        {{"17"}, "17", "17"}, {{"-5"}, "-5", "-5"}, // digits without a flag stay text, and are no flag
        {{"-string", "say \"hi\""}, "say \"hi\"", "say \"hi\""}, {{"-string", "-int"}, "-int", "-int"},
        {{"-int", "-7"}, -7, "-7"},
        {{"-int", "9223372036854775807"}, QJsonValue(std::numeric_limits<qint64>::max()), "9223372036854775807"},
        {{"-bool", "YES"}, true, "true"}, {{"-bool", "1"}, true, "true"}, {{"-bool", "no"}, false, "false"},
        {{"-array", "-int", "fix grammar"}, QJsonArray{"-int", "fix grammar"}, R"(["-int","fix grammar"])"},
        {{"-array"}, QJsonArray{}, "[]"},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(u' ').toStdString());
        const CommandResult result = defaults(QStringList{"write", "key"} + row.arguments);
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(result.out + result.err, QString());
        EXPECT_EQ(readJsonFile(path()).value(QStringLiteral("key")), row.stored);
        const CommandResult read = defaults({"read", "key"});
        EXPECT_EQ(read.out + read.err, row.printed + u'\n');
    }
    writeRawFile(path(), R"({"model": "gpt-4o", "panelWidth": "wide"})");
    EXPECT_EQ(defaults({"delete", "model"}).exitCode, 0);
    EXPECT_EQ(readJsonFile(path()), (QJsonObject{{"panelWidth", "wide"}}));
}

TEST_F(DefaultsCommandTest, BadCommandLinesExplainInOneLineAndLeaveTheFileAlone)
{
    const QByteArray before = R"({"key": "unchanged", "other": 1})";
    const QStringList rows[] = {
        // clang-format off
        {}, {"remove", "key"}, {"write"}, {"write", "key"}, {"write", "key", "a", "b"},
        {"write", "key", "-int"}, {"write", "key", "-int", "1.5"}, {"write", "key", "-int", "9223372036854775808"},
        {"write", "key", "-bool", "maybe"}, {"write", "key", "-float", "1.5"},
        {"write", "key", "-string", "a", "b"}, {"read", "key", "other"}, {"delete", "key", "other"},
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
