// SPDX-License-Identifier: MIT
// `quillmark key` with the fake keyring: the command line, the trimming and the failures.
// The end-to-end tests run the same command against a real keyring.
#include "cli/KeyCommand.h"

#include "cli/CommandRunner.h"
#include "platform/Platform.h"
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
    KeyCommandTest() { Platform::setSecretStore(&m_keyring); }
    ~KeyCommandTest() override { Platform::setSecretStore(nullptr); }

    CommandResult run(const QStringList& arguments, const QByteArray& input = {})
    {
        const CommandResult result = runCommand(keyCommand, arguments, input);
        // Whatever happened, the key shows nowhere.
        for (const QString& text : {result.out, result.err})
            EXPECT_FALSE(text.contains(QStringLiteral("Zq81"))) << text.toStdString();
        return result;
    }

    ScopedLogCapture m_log;
    FakeSecretStore m_keyring;
};

TEST_F(KeyCommandTest, SetStoresTheTrimmedKeyAndStatusAndDeleteUseTheSettingsWindowsWords)
{
    const QByteArray inputs[] = {"\n\t  " + secretKey + " \r\n\n",
                                 "\xc2\xa0" + secretKey + "\xe2\x80\x83"};
    for (const QByteArray& input : inputs) {
        SCOPED_TRACE(input.toHex().toStdString());
        const CommandResult set = run({QStringLiteral("set")}, input);
        EXPECT_EQ(set.exitCode, 0);
        EXPECT_EQ(set.out + set.err, keyStored);
        EXPECT_EQ(m_keyring.stored(service, account), secretKey);
    }
    EXPECT_EQ(m_log.lines(), QStringList{});

    // An empty or undecodable key is no key; deleting succeeds without one.
    const std::pair<std::optional<QByteArray>, QString> stored[] = {
        {secretKey, keyStored}, {std::nullopt, noKey}, {"", noKey}, {"sk-\xff", noKey}};
    for (const auto& [key, status] : stored) {
        SCOPED_TRACE(status.toStdString());
        ASSERT_TRUE(m_keyring.remove(service, account));
        if (key)
            m_keyring.put(service, account, *key);
        const CommandResult result = run({QStringLiteral("status")});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out, status);
        const CommandResult removal = run({QStringLiteral("delete")});
        EXPECT_EQ(removal.exitCode, 0);
        EXPECT_EQ(removal.out, noKey);
        EXPECT_EQ(m_keyring.stored(service, account), std::nullopt);
    }
}

TEST_F(KeyCommandTest, KeyringFailuresExitWithOneLine)
{
    m_keyring.setAvailable(false);
    const CommandResult set = run({QStringLiteral("set")}, secretKey + '\n');
    const CommandResult removal = run({QStringLiteral("delete")});
    const CommandResult status = run({QStringLiteral("status")});

    EXPECT_EQ(set.exitCode, 1);
    EXPECT_EQ(set.err, QStringLiteral("quillmark: could not store the key in the keyring.\n"));
    EXPECT_EQ(removal.exitCode, 1);
    EXPECT_EQ(removal.err,
              QStringLiteral("quillmark: could not remove the key from the keyring.\n"));
    EXPECT_EQ(set.out + removal.out, QString());
    // A keyring that does not answer holds no key as far as anyone can tell.
    EXPECT_EQ(status.exitCode, 0);
    EXPECT_EQ(status.out, noKey);
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
        {" \t\r\n ", empty},
        {"sk-a\r\nX-Injected: 1\n", control},
    };
    m_keyring.put(service, account, "sk-old");
    for (const auto& [input, message] : rows) {
        SCOPED_TRACE(input.toHex().toStdString());
        const CommandResult set = run({QStringLiteral("set")}, input);
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
