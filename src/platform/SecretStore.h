// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Generic secrets identified by a service and an account, like the desktop keyring's
// items with the attributes "service" and "account". Calls are synchronous and made on
// the main thread; an implementation may wait for the user (an unlock prompt) but must
// give up after a bounded time.
class SecretStore {
public:
    SecretStore() = default;
    SecretStore(const SecretStore&) = delete;
    SecretStore& operator=(const SecretStore&) = delete;
    virtual ~SecretStore() = default;

    // The stored bytes; nothing when there is no item or the store does not answer.
    virtual std::optional<QByteArray> read(const QString& service, const QString& account) = 0;
    // Creates or replaces the item; false when the store refused or did not answer.
    [[nodiscard]] virtual bool write(const QString& service, const QString& account,
                                     const QByteArray& value) = 0;
    // Removes the item; true also when there was none, false when the store failed.
    [[nodiscard]] virtual bool remove(const QString& service, const QString& account) = 0;
};
