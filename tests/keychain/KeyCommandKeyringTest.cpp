// SPDX-License-Identifier: MIT
// `quillmark key` against the real GNOME Keyring of scripts/test-session, checked from
// the outside with secret-tool.
#include "cli/KeyCommand.h"

#include "platform/Platform.h"
#include "platform/secret/LibsecretStore.h"
#include "platform/secret/SecretTool.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

const QString service = QStringLiteral("com.veltra.quillmark");
const QString account = QStringLiteral("openai_api_key");
const QByteArray firstKey = "sk-proj-first-Qw7";
const QByteArray secondKey = "sk-proj-second-Zx9";

class KeyCommandKeyringTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
            GTEST_SKIP() << "needs a session bus with a keyring: run under scripts/test-session";
        Platform::setSecretStore(&m_store);
        SecretTool::clear(service, account);
    }

    void TearDown() override
    {
        Platform::setSecretStore(nullptr);
        if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
            SecretTool::clear(service, account);
    }

    // Runs `quillmark key ARGUMENTS` with INPUT on standard input and answers the exit
    // code and the printed text, checking that no key shows in the output or the log.
    std::pair<int, QString> key(const QString& command, const QByteArray& input = {})
    {
        QString printed;
        QTextStream out(&printed);
        QTextStream err(&printed);
        CliIO io{out, err, [input] { return input; }};
        ScopedLogCapture log;
        const int exitCode = keyCommand({command}, io);
        out.flush();
        err.flush();
        for (const QByteArray& secret : {firstKey, secondKey}) {
            EXPECT_FALSE(printed.contains(QString::fromUtf8(secret))) << printed.toStdString();
            EXPECT_FALSE(log.lines().join(u'\n').contains(QString::fromUtf8(secret)));
        }
        return {exitCode, printed};
    }

    LibsecretStore m_store;
};

// One test, because every step uses the one real item and ctest may run tests at once.
TEST_F(KeyCommandKeyringTest, SetStatusAndDeleteGoThroughTheKeyring)
{
    using Result = std::pair<int, QString>;
    const Result stored{0, QStringLiteral("Key in Keychain\n")};
    const Result none{0, QStringLiteral("No key stored\n")};

    EXPECT_EQ(key(QStringLiteral("status")), none);

    EXPECT_EQ(key(QStringLiteral("set"), "\n\n  " + firstKey + "\t\n"), stored);
    EXPECT_EQ(SecretTool::lookup(service, account), firstKey);
    EXPECT_EQ(SecretTool::labels(service, account),
              QStringList{QStringLiteral("Quillmark: OpenAI API key")});
    EXPECT_EQ(key(QStringLiteral("status")), stored);

    // A new key replaces the old one in the same item.
    EXPECT_EQ(key(QStringLiteral("set"), secondKey + '\n'), stored);
    EXPECT_EQ(SecretTool::lookup(service, account), secondKey);
    EXPECT_EQ(SecretTool::labels(service, account).size(), 1);

    EXPECT_EQ(key(QStringLiteral("delete")), none);
    EXPECT_EQ(SecretTool::lookup(service, account), std::nullopt);
    EXPECT_EQ(key(QStringLiteral("status")), none);
    EXPECT_EQ(key(QStringLiteral("delete")), none);

    // Input with nothing but white space fails and keeps the key.
    ASSERT_EQ(key(QStringLiteral("set"), firstKey), stored);
    EXPECT_EQ(key(QStringLiteral("set"), " \n\n").first, 1);
    EXPECT_EQ(SecretTool::lookup(service, account), firstKey);
    ASSERT_EQ(key(QStringLiteral("delete")), none);

    // A key stored by hand with secret-tool is the same key.
    ASSERT_TRUE(SecretTool::store(QStringLiteral("by hand"), service, account, secondKey));
    EXPECT_EQ(key(QStringLiteral("status")), stored);
    EXPECT_EQ(key(QStringLiteral("delete")), none);
    EXPECT_EQ(SecretTool::lookup(service, account), std::nullopt);
}

} // namespace
