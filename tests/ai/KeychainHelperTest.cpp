// SPDX-License-Identifier: MIT
#include "ai/KeychainHelper.h"

#include "platform/Platform.h"
#include "settings/Preferences.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeSecretStore.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

const QString current = QStringLiteral("com.veltra.quillmark");
const QString legacy = QStringLiteral("com.veltra.brambly");
const QString account = QStringLiteral("openai_api_key");

const QString readCurrent = QStringLiteral("read com.veltra.quillmark openai_api_key");
const QString readLegacy = QStringLiteral("read com.veltra.brambly openai_api_key");
const QString writeCurrent = QStringLiteral("write com.veltra.quillmark openai_api_key");

const QString migratedLine =
    QStringLiteral("info app: keychain: migrated OpenAI key from com.veltra.brambly");
const QString skippedLine =
    QStringLiteral("info app: keychain: migration skipped — a key was saved during the prompt");
const QString copyFailedLine = QStringLiteral(
    "error app: keychain: found a legacy OpenAI key but the copy to com.veltra.quillmark failed");

// The fake keyring, plus what a person can do while the keyring asks them about the
// legacy item, and a keyring that refuses writes while it still reads.
class PromptingSecretStore final : public SecretStore {
public:
    std::optional<QByteArray> read(const QString& service, const QString& account) override
    {
        std::optional<QByteArray> value = fake.read(service, account);
        if (service == legacy && duringLegacyPrompt)
            duringLegacyPrompt();
        return value;
    }
    bool write(const QString& service, const QString& account, const QByteArray& value) override
    {
        if (refuseWrites) {
            fake.calls.append(QStringLiteral("write ") + service + u' ' + account);
            return false;
        }
        return fake.write(service, account, value);
    }
    bool remove(const QString& service, const QString& account) override
    {
        return fake.remove(service, account);
    }

    FakeSecretStore fake;
    std::function<void()> duringLegacyPrompt;
    bool refuseWrites = false;
};

class KeychainHelperTest : public ::testing::Test {
protected:
    KeychainHelperTest() { Platform::setSecretStore(&m_store); }
    ~KeychainHelperTest() override { Platform::setSecretStore(nullptr); }

    FakeSecretStore& keyring() { return m_store.fake; }
    bool attempted() const { return Preferences::flag(DefaultsKey::legacyKeyMigrationAttempted); }

    // One launch's migration: the calls it made and the lines it logged.
    struct Launch {
        QStringList calls;
        QStringList lines;
    };
    Launch launch()
    {
        keyring().calls.clear();
        ScopedLogCapture log;
        KeychainHelper::migrateLegacyKeyIfNeeded();
        return {keyring().calls, log.lines()};
    }

    ScopedConfigHome m_home;
    PromptingSecretStore m_store;
};

struct Decoding {
    const char* name;
    QByteArray stored;
    std::optional<QString> read;
};

class KeychainHelperReadTest : public KeychainHelperTest,
                               public ::testing::WithParamInterface<Decoding> {};

TEST_P(KeychainHelperReadTest, DecodesStoredBytesAsUtf8)
{
    keyring().put(current, account, GetParam().stored);
    EXPECT_EQ(KeychainHelper::read(current, account), GetParam().read);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Bytes, KeychainHelperReadTest, ::testing::Values(
    Decoding{"Ascii", "sk-proj-abc123", QStringLiteral("sk-proj-abc123")},
    Decoding{"Empty", "", QString()},
    Decoding{"MultiByte", "ключ-€-🔑", QStringLiteral("ключ-€-🔑")},
    Decoding{"KeepsWhiteSpace", " sk \n", QStringLiteral(" sk \n")},
    Decoding{"InvalidByte", "sk-\xff", std::nullopt},
    Decoding{"Latin1", "cl\xe9", std::nullopt},
    Decoding{"CutOffAtTheEnd", "sk-\xe2\x82", std::nullopt},
    Decoding{"Overlong", "\xc0\xaf", std::nullopt},
    Decoding{"Surrogate", "\xed\xa0\x80", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(KeychainHelperTest, ReadFindsNothingWithoutAnItemOrAKeyring)
{
    EXPECT_EQ(KeychainHelper::read(current, account), std::nullopt);
    keyring().put(current, account, "sk-test");
    keyring().setAvailable(false);
    EXPECT_EQ(KeychainHelper::read(current, account), std::nullopt);
}

TEST_F(KeychainHelperTest, WriteAddsAndThenReplacesTheCurrentItem)
{
    ASSERT_TRUE(KeychainHelper::write(account, QStringLiteral("sk-first")));
    ASSERT_TRUE(KeychainHelper::write(account, QStringLiteral("sk-sécond")));

    EXPECT_EQ(keyring().stored(current, account), QByteArray("sk-sécond"));
    EXPECT_EQ(keyring().stored(legacy, account), std::nullopt);
    EXPECT_EQ(KeychainHelper::read(current, account), QStringLiteral("sk-sécond"));
}

TEST_F(KeychainHelperTest, RemoveSucceedsWhetherOrNotTheItemExists)
{
    keyring().put(current, account, "sk-test");
    keyring().put(legacy, account, "sk-legacy");

    EXPECT_TRUE(KeychainHelper::remove(account));
    EXPECT_TRUE(KeychainHelper::remove(account));
    EXPECT_EQ(keyring().stored(current, account), std::nullopt);
    EXPECT_EQ(keyring().stored(legacy, account), QByteArray("sk-legacy"));
}

TEST_F(KeychainHelperTest, WriteAndRemoveReportAKeyringThatDoesNotAnswer)
{
    keyring().setAvailable(false);
    EXPECT_FALSE(KeychainHelper::write(account, QStringLiteral("sk-test")));
    EXPECT_FALSE(KeychainHelper::remove(account));
}

TEST_F(KeychainHelperTest, MigrationLeavesAnExistingKeyAndTheFlagAlone)
{
    // An empty current item counts as present too.
    for (const QByteArray& existing : {QByteArray("sk-current"), QByteArray()}) {
        SCOPED_TRACE(existing.toStdString());
        keyring().put(current, account, existing);
        keyring().put(legacy, account, "sk-legacy");

        const Launch first = launch();

        EXPECT_EQ(first.calls, QStringList{readCurrent});
        EXPECT_EQ(first.lines, QStringList{});
        EXPECT_EQ(keyring().stored(current, account), existing);
        EXPECT_FALSE(attempted());
    }
}

TEST_F(KeychainHelperTest, MigrationWithNoKeyAnywhereRunsOnce)
{
    const Launch first = launch();
    EXPECT_EQ(first.calls, (QStringList{readCurrent, readLegacy}));
    EXPECT_EQ(first.lines, QStringList{});
    EXPECT_TRUE(attempted());

    // A legacy key turning up later is no longer looked for.
    keyring().put(legacy, account, "sk-legacy");
    const Launch second = launch();
    EXPECT_EQ(second.calls, QStringList{readCurrent});
    EXPECT_EQ(keyring().stored(current, account), std::nullopt);
}

TEST_F(KeychainHelperTest, MigrationCopiesTheLegacyKeyOnceAndLeavesTheOriginal)
{
    keyring().put(legacy, account, "sk-légacy");

    const Launch first = launch();

    EXPECT_EQ(first.calls, (QStringList{readCurrent, readLegacy, readCurrent, writeCurrent}));
    EXPECT_EQ(first.lines, QStringList{migratedLine});
    EXPECT_EQ(keyring().stored(current, account), QByteArray("sk-légacy"));
    EXPECT_EQ(keyring().stored(legacy, account), QByteArray("sk-légacy"));
    EXPECT_TRUE(attempted());

    // The user removes the key in the settings; it must not come back.
    ASSERT_TRUE(KeychainHelper::remove(account));
    const Launch second = launch();
    EXPECT_EQ(second.calls, QStringList{readCurrent});
    EXPECT_EQ(second.lines, QStringList{});
    EXPECT_EQ(keyring().stored(current, account), std::nullopt);
}

TEST_F(KeychainHelperTest, MigrationIgnoresAnEmptyOrUnreadableLegacyKey)
{
    for (const QByteArray& stored : {QByteArray(), QByteArray("sk-\xff")}) {
        SCOPED_TRACE(stored.toHex().toStdString());
        Preferences::setFlag(DefaultsKey::legacyKeyMigrationAttempted, false);
        keyring().put(legacy, account, stored);

        const Launch first = launch();

        EXPECT_EQ(first.calls, (QStringList{readCurrent, readLegacy}));
        EXPECT_EQ(first.lines, QStringList{});
        EXPECT_EQ(keyring().stored(current, account), std::nullopt);
        EXPECT_TRUE(attempted());
    }
}

TEST_F(KeychainHelperTest, MigrationKeepsAKeySavedWhileTheKeyringAsked)
{
    keyring().put(legacy, account, "sk-legacy");
    m_store.duringLegacyPrompt = [this] { keyring().put(current, account, "sk-typed-meanwhile"); };

    const Launch first = launch();

    EXPECT_EQ(first.calls, (QStringList{readCurrent, readLegacy, readCurrent}));
    EXPECT_EQ(first.lines, QStringList{skippedLine});
    EXPECT_EQ(keyring().stored(current, account), QByteArray("sk-typed-meanwhile"));
    EXPECT_TRUE(attempted());
}

TEST_F(KeychainHelperTest, MigrationLogsAFailedCopyAndDoesNotRetry)
{
    keyring().put(legacy, account, "sk-legacy");
    m_store.refuseWrites = true;

    const Launch first = launch();
    EXPECT_EQ(first.calls, (QStringList{readCurrent, readLegacy, readCurrent, writeCurrent}));
    EXPECT_EQ(first.lines, QStringList{copyFailedLine});
    EXPECT_TRUE(attempted());

    m_store.refuseWrites = false;
    const Launch second = launch();
    EXPECT_EQ(second.calls, QStringList{readCurrent});
    EXPECT_EQ(keyring().stored(current, account), std::nullopt);
}

TEST_F(KeychainHelperTest, MigrationWithoutAKeyringMarksTheAttemptQuietly)
{
    keyring().put(legacy, account, "sk-legacy");
    keyring().setAvailable(false);

    const Launch first = launch();

    EXPECT_EQ(first.calls, (QStringList{readCurrent, readLegacy}));
    EXPECT_EQ(first.lines, QStringList{});
    EXPECT_TRUE(attempted());
}

} // namespace
