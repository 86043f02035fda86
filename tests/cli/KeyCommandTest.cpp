// SPDX-License-Identifier: MIT
// `quillmark key` with the fake keyring: the command line, the trimming and the failures.
// The end-to-end tests run the same command against a real keyring.
#include "cli/KeyCommand.h"

#include "cli/CommandRunner.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeSecretStore.h"

#include <gtest/gtest.h>

namespace {

const QString service = QStringLiteral("com.veltra.quillmark");
const QString account = QStringLiteral("openai_api_key");
const QByteArray secretKey = "sk-proj-Zq81secret";
const QString keyStored = QStringLiteral("Key in your keyring\n");
const QString noKey = QStringLiteral("No key stored\n");

class KeyCommandTest : public ::testing::Test {
protected:
    CommandResult run(const QStringList& arguments, const QByteArray& input = {})
    {
        const CommandResult result = runCommand(
            [this](const QStringList& a, CliIO& io) { return keyCommand(a, io, m_keyring); },
            arguments, input);
        // Whatever happened, the key shows nowhere.
        for (const QString& text : {result.out, result.err})
            EXPECT_FALSE(text.contains(QStringLiteral("Zq81"))) << text.toStdString();
        return result;
    }

    ScopedLogCapture m_log;
    FakeSecretStore m_keyring;
};

// Each command against a keyring holding `before` (or not answering), with what it printed and
// what the keyring holds after. Bad input keeps the stored key; an empty or undecodable key is
// no key; a keyring that does not answer holds no key as far as anyone can tell.
TEST_F(KeyCommandTest, EachCommandPrintsTheSettingsWindowsWordsOrOneLineWhy)
{
    const QString empty = QStringLiteral("quillmark: no key on standard input; the stored key was "
                                         "kept (use 'quillmark key delete' to remove it).\n");
    const QString control = QStringLiteral("quillmark: the key contains a line break or another "
                                           "control character; nothing was stored.\n");
    const QString notUtf8 = QStringLiteral(
        "quillmark: the key on standard input is not valid UTF-8; nothing was stored.\n");
    const QString cannotStore =
        QStringLiteral("quillmark: could not store the key in the keyring.\n");
    const QString cannotRemove =
        QStringLiteral("quillmark: could not remove the key from the keyring.\n");
    const QByteArray old = "sk-old";
    const std::nullopt_t none = std::nullopt;
    const struct {
        const char* command;
        QByteArray input;
        std::optional<QByteArray> before;
        bool available;
        int exitCode;
        QString printed;
        std::optional<QByteArray> after;
    } rows[] = {
        // clang-format off
        {"set", "\n\t  " + secretKey + " \r\n\n", old, true, 0, keyStored, secretKey},
        {"set", "\xc2\xa0" + secretKey + "\xe2\x80\x83", none, true, 0, keyStored, secretKey},
        {"set", "sk-\xff\xfe\n", old, true, 1, notUtf8, old},
        {"set", " \t\r\n ", old, true, 1, empty, old},
        {"set", "sk-a\r\nX-Injected: 1\n", old, true, 1, control, old},
        {"set", secretKey + '\n', none, false, 1, cannotStore, none},
        {"status", "", secretKey, true, 0, keyStored, secretKey},
        {"status", "", none, true, 0, noKey, none},
        {"status", "", "", true, 0, noKey, ""},
        {"status", "", "sk-\xff", true, 0, noKey, "sk-\xff"},
        {"status", "", secretKey, false, 0, noKey, secretKey},
        {"delete", "", secretKey, true, 0, noKey, none},
        {"delete", "", none, true, 0, noKey, none},
        {"delete", "", secretKey, false, 1, cannotRemove, secretKey},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.command + (' ' + row.input.toHex()).toStdString());
        m_keyring.setAvailable(true);
        (void)m_keyring.remove(service, account);
        if (row.before)
            m_keyring.put(service, account, *row.before);
        m_keyring.setAvailable(row.available);
        const CommandResult result = run({QString::fromLatin1(row.command)}, row.input);
        EXPECT_EQ(result.exitCode, row.exitCode);
        EXPECT_EQ(row.exitCode == 0 ? result.out : result.err, row.printed);
        EXPECT_EQ(result.out + result.err, row.printed);
        EXPECT_EQ(m_keyring.stored(service, account), row.after);
    }
    EXPECT_EQ(m_log.lines(), QStringList{});
}

TEST_F(KeyCommandTest, WrongCommandLinesChangeNothingAndNeverEchoTheirWords)
{
    // A key typed where a word belongs must not end up on the screen either.
    const QString typedKey = QString::fromUtf8(secretKey);
    const QStringList lines[] = {{typedKey},
                                 {QStringLiteral("set"), typedKey},
                                 {QStringLiteral("status"), typedKey},
                                 {QStringLiteral("delete"), typedKey}};
    m_keyring.put(service, account, "sk-old");
    for (const QStringList& arguments : lines) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        m_keyring.calls.clear();
        const CommandResult wrong = run(arguments, "sk-from-input\n");
        EXPECT_EQ(wrong.exitCode, 2);
        EXPECT_EQ(wrong.out, QString());
        EXPECT_TRUE(wrong.err.startsWith(QStringLiteral("quillmark: ")));
        EXPECT_EQ(wrong.err.count(u'\n'), 1);
        EXPECT_EQ(m_keyring.calls, QStringList{});
    }
    EXPECT_EQ(m_keyring.stored(service, account), QByteArray("sk-old"));
}

} // namespace
