// SPDX-License-Identifier: MIT
#include "support/fakes/FakeSecretStore.h"

QString FakeSecretStore::keyOf(const QString& service, const QString& account)
{
    return service + u' ' + account;
}

std::optional<QByteArray> FakeSecretStore::read(const QString& service, const QString& account)
{
    calls.append(QStringLiteral("read ") + keyOf(service, account));
    if (!m_available)
        return std::nullopt;
    return stored(service, account);
}

bool FakeSecretStore::write(const QString& service, const QString& account, const QByteArray& value)
{
    calls.append(QStringLiteral("write ") + keyOf(service, account));
    if (!m_available)
        return false;
    put(service, account, value);
    return true;
}

bool FakeSecretStore::remove(const QString& service, const QString& account)
{
    calls.append(QStringLiteral("remove ") + keyOf(service, account));
    if (!m_available)
        return false;
    m_items.remove(keyOf(service, account));
    return true;
}

void FakeSecretStore::put(const QString& service, const QString& account, const QByteArray& value)
{
    m_items.insert(keyOf(service, account), value);
}

std::optional<QByteArray> FakeSecretStore::stored(const QString& service,
                                                  const QString& account) const
{
    auto it = m_items.constFind(keyOf(service, account));
    if (it == m_items.constEnd())
        return std::nullopt;
    return *it;
}
