// SPDX-License-Identifier: MIT
// `quillmark key` with the fake keyring: the command line, the trimming and the failures.
// KeyCommandKeyringTest runs the same command against a real keyring.
#include "cli/KeyCommand.h"

#include "support/TestEnvironment.h"
#include "support/fakes/FakeSecretStore.h"

#include <gtest/gtest.h>

namespace {

const QString service = QStringLiteral("com.veltra.quillmark");
const QString account = QStringLiteral("openai_api_key");
const QByteArray secretKey = "sk-proj-Zq81secret";

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

class KeyCommandTest : public ::testing::Test {
protected:
    Outcome run(const QStringList& arguments, const QByteArray& input = {})
    {
        Outcome result;
        QTextStream out(&result.out);
        QTextStream err(&result.err);
        CliIO io{out, err, [input] { return input; }};
        result.exitCode = keyCommand(arguments, io, m_keyring);
        out.flush();
        err.flush();
        // Whatever happened, the key shows nowhere.
        for (const QString& text : {result.out, result.err}) {
            EXPECT_FALSE(text.contains(QString::fromUtf8(secretKey))) << text.toStdString();
            EXPECT_FALSE(text.contains(QStringLiteral("Zq81")));
        }
        return result;
    }

    ScopedLogCapture m_log;
    FakeSecretStore m_keyring;
};

TEST_F(KeyCommandTest, SetStoresTheTrimmedKey)
{
    const QByteArray inputs[] = {secretKey, secretKey + '\n', "\n\t  " + secretKey + " \r\n\n",
                                 "\xc2\xa0" + secretKey + "\xe2\x80\x83"};
    for (const QByteArray& input : inputs) {
        SCOPED_TRACE(input.toHex().toStdString());
        const Outcome set = run({QStringLiteral("set")}, input);
        EXPECT_EQ(set.exitCode, 0);
        EXPECT_EQ(set.out, QStringLiteral("Key in your keyring\n"));
        EXPECT_EQ(set.err, QString());
        EXPECT_EQ(m_keyring.stored(service, account), secretKey);
    }
    EXPECT_EQ(m_log.lines(), QStringList{});
}

TEST_F(KeyCommandTest, StatusUsesTheSettingsWindowsWords)
{
    struct Case {
        std::optional<QByteArray> stored;
        QString out;
    };
    const Case cases[] = {
        {secretKey, QStringLiteral("Key in your keyring\n")},
        {std::nullopt, QStringLiteral("No key stored\n")},
        {QByteArray(), QStringLiteral("No key stored\n")}, // an empty key is no key
        {QByteArray("sk-\xff"), QStringLiteral("No key stored\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out.toStdString());
        ASSERT_TRUE(m_keyring.remove(service, account));
        if (c.stored)
            m_keyring.put(service, account, *c.stored);
        const Outcome status = run({QStringLiteral("status")});
        EXPECT_EQ(status.exitCode, 0);
        EXPECT_EQ(status.out, c.out);
    }
}

TEST_F(KeyCommandTest, DeleteRemovesTheKeyAndSucceedsWithoutOne)
{
    m_keyring.put(service, account, secretKey);
    for (int i = 0; i < 2; ++i) {
        const Outcome removal = run({QStringLiteral("delete")});
        EXPECT_EQ(removal.exitCode, 0);
        EXPECT_EQ(removal.out, QStringLiteral("No key stored\n"));
    }
    EXPECT_EQ(m_keyring.stored(service, account), std::nullopt);
}

TEST_F(KeyCommandTest, KeyringFailuresExitWithOneLine)
{
    m_keyring.setAvailable(false);
    const Outcome set = run({QStringLiteral("set")}, secretKey + '\n');
    const Outcome removal = run({QStringLiteral("delete")});
    const Outcome status = run({QStringLiteral("status")});

    EXPECT_EQ(set.exitCode, 1);
    EXPECT_EQ(set.err, QStringLiteral("quillmark: could not store the key in the keyring.\n"));
    EXPECT_EQ(removal.exitCode, 1);
    EXPECT_EQ(removal.err,
              QStringLiteral("quillmark: could not remove the key from the keyring.\n"));
    // A keyring that does not answer holds no key as far as anyone can tell.
    EXPECT_EQ(status.exitCode, 0);
    EXPECT_EQ(status.out, QStringLiteral("No key stored\n"));
    for (const Outcome* failed : {&set, &removal})
        EXPECT_EQ(failed->out, QString());
}

TEST_F(KeyCommandTest, BadInputIsRefusedAndTheStoredKeyStays)
{
    const QString empty = QStringLiteral("quillmark: no key on standard input; the stored key was "
                                         "kept (use 'quillmark key delete' to remove it).\n");
    const QString control = QStringLiteral("quillmark: the key contains a line break or another "
                                           "control character; nothing was stored.\n");
    const std::pair<QByteArray, QString> rows[] = {
        {"sk-\xff\xfe\n", QStringLiteral("quillmark: the key on standard input is not valid "
                                         "UTF-8; nothing was stored.\n")},
        {"", empty},
        {" \t\r\n ", empty},
        {"sk-a\r\nX-Injected: 1\n", control},
        {"sk-a\x1b[2Jb", control},
    };
    m_keyring.put(service, account, "sk-old");
    for (const auto& [input, message] : rows) {
        SCOPED_TRACE(input.toHex().toStdString());
        const Outcome set = run({QStringLiteral("set")}, input);
        EXPECT_EQ(set.exitCode, 1);
        EXPECT_EQ(set.out, QString());
        EXPECT_EQ(set.err, message);
        EXPECT_EQ(m_keyring.stored(service, account), QByteArray("sk-old"));
    }
}

TEST_F(KeyCommandTest, WrongCommandLinesChangeNothingAndNeverEchoTheirWords)
{
    // A key typed where a word belongs must not end up on the screen either.
    const QString typedKey = QString::fromUtf8(secretKey);
    const QStringList lines[] = {
        {},
        {typedKey},
        {QStringLiteral("set"), typedKey},
        {QStringLiteral("status"), typedKey},
        {QStringLiteral("delete"), typedKey},
        {QStringLiteral("show")},
    };
    m_keyring.put(service, account, "sk-old");
    for (const QStringList& arguments : lines) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        m_keyring.calls.clear();
        const Outcome wrong = run(arguments, "sk-from-input\n");
        EXPECT_EQ(wrong.exitCode, 2);
        EXPECT_EQ(wrong.out, QString());
        EXPECT_TRUE(wrong.err.startsWith(QStringLiteral("quillmark: ")));
        EXPECT_EQ(wrong.err.count(u'\n'), 1);
        EXPECT_EQ(m_keyring.calls, QStringList{});
    }
    EXPECT_EQ(m_keyring.stored(service, account), QByteArray("sk-old"));
}

} // namespace
