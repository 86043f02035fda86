// SPDX-License-Identifier: MIT
#include "ai/KeychainHelper.h"

#include "settings/Preferences.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeSecretStore.h"

#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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

// Private settings and the prompting keyring.
struct KeyringFixture {
    FakeSecretStore& keyring() { return store.fake; }
    bool attempted() const { return preferences.flag(DefaultsKey::legacyKeyMigrationAttempted); }

    // One launch's migration: the calls it made and the lines it logged.
    std::pair<QStringList, QStringList> launch()
    {
        keyring().calls.clear();
        ScopedLogCapture log;
        keychain.migrateLegacyKeyIfNeeded(preferences);
        return {keyring().calls, log.lines()};
    }

    ScopedConfigHome home;
    Preferences preferences{UserDefaults::standard()};
    PromptingSecretStore store;
    KeychainHelper keychain{store};
};

class KeychainHelperTest : public ::testing::Test, protected KeyringFixture {};

TEST_F(KeychainHelperTest, DecodesStoredBytesAsUtf8)
{
    const std::pair<QByteArray, std::optional<QString>> rows[] = {
        // clang-format off
        {"sk-proj-abc123", u"sk-proj-abc123"_s}, {"", QString()}, {"ключ-€-🔑", u"ключ-€-🔑"_s},
        {" sk \n", u" sk \n"_s},
        {"sk-\xff", std::nullopt}, {"cl\xe9", std::nullopt}, // an invalid byte, Latin-1
        {"sk-\xe2\x82", std::nullopt}, {"\xc0\xaf", std::nullopt}, // cut off at the end, overlong
        {"\xed\xa0\x80", std::nullopt}, // surrogate
        // clang-format on
    };
    for (const auto& [stored, read] : rows) {
        SCOPED_TRACE(stored.toHex().toStdString());
        keyring().put(current, account, stored);
        EXPECT_EQ(keychain.read(current, account), read);
    }
    keyring().setAvailable(false);
    EXPECT_EQ(keychain.read(current, account), std::nullopt);
}

TEST(KeychainMigrationTest, CopiesALegacyKeyAtMostOnceAndNeverOverAnyOther)
{
    const QStringList probe{readCurrent, readLegacy};
    const QStringList copy{readCurrent, readLegacy, readCurrent, writeCurrent};
    struct Row {
        const char* name;
        std::optional<QByteArray> current, legacy;
        bool available = true, refuseWrites = false, savedDuringPrompt = false;
        QStringList calls, lines;
        std::optional<QByteArray> currentAfter;
    };
    // clang-format off
    const Row rows[] = {
        {"a key is there", "sk-current", "sk-legacy", true, false, false, {readCurrent}, {}, "sk-current"},
        {"an empty key counts as there", "", "sk-legacy", true, false, false, {readCurrent}, {}, ""},
        {"no key anywhere", {}, {}, true, false, false, probe, {}, {}},
        {"legacy key copied", {}, "sk-légacy", true, false, false, copy, {migratedLine}, "sk-légacy"},
        {"empty legacy key", {}, "", true, false, false, probe, {}, {}},
        {"unreadable legacy key", {}, "sk-\xff", true, false, false, probe, {}, {}},
        {"a key saved while the keyring asked", {}, "sk-legacy", true, false, true,
         {readCurrent, readLegacy, readCurrent}, {skippedLine}, "sk-typed-meanwhile"},
        {"the copy fails", {}, "sk-legacy", true, true, false, copy, {copyFailedLine}, {}},
        {"no keyring", {}, "sk-legacy", false, false, false, probe, {}, {}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        KeyringFixture f;
        if (row.current)
            f.keyring().put(current, account, *row.current);
        if (row.legacy)
            f.keyring().put(legacy, account, *row.legacy);
        f.keyring().setAvailable(row.available);
        f.store.refuseWrites = row.refuseWrites;
        if (row.savedDuringPrompt)
            f.store.duringLegacyPrompt = [&] {
                f.keyring().put(current, account, "sk-typed-meanwhile");
            };

        const auto first = f.launch();
        EXPECT_EQ(first.first, row.calls);
        EXPECT_EQ(first.second, row.lines);
        EXPECT_EQ(f.keyring().stored(current, account), row.currentAfter);
        EXPECT_EQ(f.keyring().stored(legacy, account), row.legacy);
        EXPECT_TRUE(f.attempted());

        // Once tried, never again, and without opening the keyring: a key the user removes,
        // or one turning up later, stays so.
        f.keyring().setAvailable(true);
        f.store.refuseWrites = false;
        ASSERT_TRUE(f.keychain.remove(account));
        f.keyring().put(legacy, account, "sk-legacy");
        const auto second = f.launch();
        EXPECT_EQ(second.first, QStringList{});
        EXPECT_EQ(second.second, QStringList{});
        EXPECT_EQ(f.keyring().stored(current, account), std::nullopt);
    }
}

} // namespace
