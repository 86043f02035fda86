// SPDX-License-Identifier: MIT
#include "relay/RelayTokens.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace RelayTokens {

namespace {

const QString prefix = QStringLiteral("qmr_");

QByteArray randomBytes(int count)
{
    QByteArray bytes(count, Qt::Uninitialized);
    // The system generator reads the kernel's cryptographic source.
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()), count / 4);
    return bytes;
}

} // namespace

Issued issue()
{
    const QString id = QString::fromLatin1(randomBytes(8).toHex());
    const QString secret = QString::fromLatin1(
        randomBytes(32).toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
    const QString token = prefix + id + u'_' + secret;
    return {id, token, hashOf(token)};
}

std::optional<QString> idOf(const QString& token)
{
    static const QRegularExpression form(QStringLiteral("^qmr_([0-9a-f]{16})_[A-Za-z0-9_-]{43}$"));
    const auto match = form.match(token);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1);
}

QByteArray hashOf(const QString& token)
{
    return QCryptographicHash::hash(token.toUtf8(), QCryptographicHash::Sha256);
}

bool matches(const QString& token, const QByteArray& storedHash)
{
    const QByteArray hash = hashOf(token);
    if (storedHash.size() != hash.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < hash.size(); ++i)
        difference |= static_cast<unsigned char>(hash[i] ^ storedHash[i]);
    return difference == 0;
}

} // namespace RelayTokens
