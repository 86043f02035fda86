// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The relay's bearer tokens: "qmr_" + a public id + "_" + a secret. The id finds the stored
// record; only the SHA-256 of the whole token is stored, and it is compared in constant time.
namespace RelayTokens {

struct Issued {
    QString id;
    QString token;   // shown to the operator once, never stored
    QByteArray hash; // what the store keeps
};

Issued issue();

// The id of a token of the relay's form; nothing for anything else (a device id, say).
std::optional<QString> idOf(const QString& token);

QByteArray hashOf(const QString& token);

// True when the token's hash is `storedHash`; takes the same time wherever they differ.
bool matches(const QString& token, const QByteArray& storedHash);

} // namespace RelayTokens
