// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SecretStore.h"

#include <chrono>

// The desktop keyring through the Secret Service (GNOME Keyring, KWallet, KeePassXC).
// Items carry the attributes "service" and "account", so `secret-tool lookup service S
// account A` finds what is stored here and items stored by secret-tool are found too.
//
// Every call gives up after `limit`: long enough for the user to type the keyring's
// password into an unlock prompt, short enough that a keyring that never answers does
// not freeze the application. Without a Secret Service on the bus calls fail at once.
// Calls may come from any thread; each drives its own private GLib main context and
// never runs the caller's event loop.
class LibsecretStore final : public SecretStore {
public:
    static constexpr std::chrono::milliseconds defaultLimit{std::chrono::seconds(60)};

    explicit LibsecretStore(std::chrono::milliseconds limit = defaultLimit);

    std::optional<QByteArray> read(const QString& service, const QString& account) override;
    [[nodiscard]] bool write(const QString& service, const QString& account,
                             const QByteArray& value) override;
    [[nodiscard]] bool remove(const QString& service, const QString& account) override;

    // The label a new item gets, which is what keyring managers such as Seahorse show.
    static QString labelFor(const QString& service, const QString& account);

private:
    std::chrono::milliseconds m_limit;
};
