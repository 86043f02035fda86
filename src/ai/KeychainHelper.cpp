// SPDX-License-Identifier: MIT
#include "ai/KeychainHelper.h"

#include "core/Log.h"
#include "platform/SecretStore.h"
#include "settings/Preferences.h"

#include <QStringDecoder>

std::optional<QString> KeychainHelper::read(const QString& service, const QString& account) const
{
    const std::optional<QByteArray> bytes = m_store.read(service, account);
    if (!bytes)
        return std::nullopt;
    // Stateless, so that a sequence cut off at the end counts as an error too; the bytes
    // are kept exactly, a leading byte-order mark included.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(*bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

bool KeychainHelper::write(const QString& account, const QString& value) const
{
    return m_store.write(QString::fromLatin1(service), account, value.toUtf8());
}

bool KeychainHelper::remove(const QString& account) const
{
    return m_store.remove(QString::fromLatin1(service), account);
}

std::optional<QString> KeychainHelper::openAIKey() const
{
    auto key = read(QString::fromLatin1(service), QString::fromLatin1(openAIAccount));
    if (!key || key->isEmpty())
        return std::nullopt;
    return key;
}

bool KeychainHelper::saveOpenAIKey(const QString& typed) const
{
    const QString key = typed.trimmed();
    const QString account = QString::fromLatin1(openAIAccount);
    return key.isEmpty() ? remove(account) : write(account, key);
}

void KeychainHelper::migrateLegacyKeyIfNeeded(Preferences& preferences) const
{
    const QString current = QString::fromLatin1(service);
    const QString account = QString::fromLatin1(openAIAccount);

    // The flag comes first: once it is set, a start does not open the keyring at all.
    if (preferences.flag(DefaultsKey::legacyKeyMigrationAttempted))
        return;
    // Set before any answer is known, so that a failed or refused read is not retried (and
    // the user not asked again) on every launch; a key already in place needs nothing more.
    preferences.setFlag(DefaultsKey::legacyKeyMigrationAttempted, true);
    if (read(current, account))
        return;
    const std::optional<QString> legacyKey = read(QString::fromLatin1(legacyService), account);
    if (!legacyKey || legacyKey->isEmpty())
        return;
    // The read above may have waited for the user; a key saved in the settings meanwhile
    // wins over the old one.
    if (read(current, account)) {
        Log::app().info(
            QStringLiteral("keychain: migration skipped — a key was saved during the prompt"));
        return;
    }
    if (write(account, *legacyKey)) {
        Log::app().info(QStringLiteral("keychain: migrated OpenAI key from %1")
                            .arg(QLatin1String(legacyService)));
    } else {
        Log::app().error(
            QStringLiteral("keychain: found a legacy OpenAI key but the copy to %1 failed")
                .arg(QLatin1String(service)));
    }
}
