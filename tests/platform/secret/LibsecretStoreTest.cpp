// SPDX-License-Identifier: MIT
// The store against the real GNOME Keyring of scripts/test-session, and side by side with
// secret-tool, the way users and scripts reach the same items.
#include "platform/secret/LibsecretStore.h"
#include "platform/secret/SecretTool.h"

#include <gtest/gtest.h>

namespace {

// A service of its own, so that nothing here can meet the product's real item.
const QString testService = QStringLiteral("com.veltra.quillmark.test");

class LibsecretStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
            GTEST_SKIP() << "needs a session bus with a keyring: run under scripts/test-session";
        m_account =
            QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
        SecretTool::clear(testService, m_account);
    }

    void TearDown() override
    {
        if (!m_account.isEmpty())
            SecretTool::clear(testService, m_account);
    }

    LibsecretStore m_store;
    QString m_account;
};

TEST_F(LibsecretStoreTest, StoresReadsAndRemovesExactBytes)
{
    EXPECT_EQ(m_store.read(testService, m_account), std::nullopt);

    // Bytes travel untouched: a trailing newline, a NUL, bytes that are not UTF-8.
    const QByteArray secrets[] = {QByteArray("sk-test-1"), QByteArray("line\n", 5),
                                  QByteArray("a\0b\xff\xfe", 5), QByteArray()};
    for (const QByteArray& secret : secrets) {
        SCOPED_TRACE(secret.toHex().toStdString());
        ASSERT_TRUE(m_store.write(testService, m_account, secret));
        EXPECT_EQ(m_store.read(testService, m_account), secret);
    }

    ASSERT_TRUE(m_store.remove(testService, m_account));
    EXPECT_EQ(m_store.read(testService, m_account), std::nullopt);
    EXPECT_EQ(SecretTool::lookup(testService, m_account), std::nullopt);
    EXPECT_TRUE(m_store.remove(testService, m_account)) << "removing a missing item succeeds";
}

TEST_F(LibsecretStoreTest, WritingAgainUpdatesTheOneItemInPlaceWhereSecretToolFindsIt)
{
    ASSERT_TRUE(m_store.write(testService, m_account, "first"));
    ASSERT_TRUE(m_store.write(testService, m_account, "second"));

    EXPECT_EQ(m_store.read(testService, m_account), QByteArray("second"));
    EXPECT_EQ(SecretTool::lookup(testService, m_account), QByteArray("second"));
    EXPECT_EQ(SecretTool::labels(testService, m_account),
              QStringList{LibsecretStore::labelFor(testService, m_account)});
}

TEST_F(LibsecretStoreTest, ItemsAreKeptApartByServiceAndAccount)
{
    const QString otherService = testService + QStringLiteral(".other");
    const QString otherAccount = m_account + QStringLiteral("-other");
    ASSERT_TRUE(m_store.write(testService, m_account, "mine"));
    ASSERT_TRUE(m_store.write(otherService, m_account, "other service"));
    ASSERT_TRUE(m_store.write(testService, otherAccount, "other account"));

    EXPECT_EQ(m_store.read(testService, m_account), QByteArray("mine"));
    ASSERT_TRUE(m_store.remove(testService, m_account));
    EXPECT_EQ(m_store.read(otherService, m_account), QByteArray("other service"));
    EXPECT_EQ(m_store.read(testService, otherAccount), QByteArray("other account"));

    SecretTool::clear(otherService, m_account);
    SecretTool::clear(testService, otherAccount);
}

TEST_F(LibsecretStoreTest, StoreReadsUpdatesAndRemovesAnItemSecretToolMade)
{
    ASSERT_TRUE(SecretTool::store(QStringLiteral("made by hand"), testService, m_account,
                                  "sk-from-secret-tool"));
    EXPECT_EQ(m_store.read(testService, m_account), QByteArray("sk-from-secret-tool"));

    // The item lacks libsecret's schema attribute; writing must still replace its value
    // rather than add a second item next to it.
    ASSERT_TRUE(m_store.write(testService, m_account, "sk-replaced"));
    EXPECT_EQ(SecretTool::labels(testService, m_account),
              QStringList{QStringLiteral("made by hand")});
    EXPECT_EQ(SecretTool::lookup(testService, m_account), QByteArray("sk-replaced"));
    EXPECT_EQ(m_store.read(testService, m_account), QByteArray("sk-replaced"));

    ASSERT_TRUE(m_store.remove(testService, m_account));
    EXPECT_EQ(SecretTool::lookup(testService, m_account), std::nullopt);
}

} // namespace
