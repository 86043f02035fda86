// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SecretStore.h"

#include <QHash>
#include <QStringList>

// An in-memory keyring that records each call ("read service account", "write …",
// "remove …") and can be told to stop answering.
class FakeSecretStore final : public SecretStore {
public:
    std::optional<QByteArray> read(const QString& service, const QString& account) override;
    bool write(const QString& service, const QString& account, const QByteArray& value) override;
    bool remove(const QString& service, const QString& account) override;

    void put(const QString& service, const QString& account, const QByteArray& value);
    std::optional<QByteArray> stored(const QString& service, const QString& account) const;
    // While unavailable, reads find nothing and writes and removals fail.
    void setAvailable(bool available) { m_available = available; }

    QStringList calls;

private:
    static QString keyOf(const QString& service, const QString& account);
    QHash<QString, QByteArray> m_items;
    bool m_available = true;
};
