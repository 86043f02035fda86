// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// The keyring as another program sees it, through libsecret's command-line tool. Secrets
// go in and out through the tool's standard input and output, never its arguments.
namespace SecretTool {

// `secret-tool store --label=LABEL service SERVICE account ACCOUNT`; true when it worked.
bool store(const QString& label, const QString& service, const QString& account,
           const QByteArray& secret);

// `secret-tool lookup`; nothing when no item matches.
std::optional<QByteArray> lookup(const QString& service, const QString& account);

// The labels of every item with these attributes, one per item.
QStringList labels(const QString& service, const QString& account);

// `secret-tool clear`: removes every item with these attributes.
void clear(const QString& service, const QString& account);

} // namespace SecretTool
