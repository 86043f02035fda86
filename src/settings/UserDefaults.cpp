// SPDX-License-Identifier: MIT
#include "settings/UserDefaults.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLockFile>
#include <QSaveFile>
#include <QThread>
#include <QVariant>
#include <cmath>

namespace {

// Long enough for any other writer to finish one small file, short enough that a wedged
// lock does not freeze the panel for good.
constexpr int lockTimeoutMs = 5000;
constexpr int lockRetryMs = 1;

// QLockFile's own waiting doubles its pause from 100 ms on every failed attempt, which turns
// a few quick writes from two processes into seconds of waiting. A writer holds the lock for
// a millisecond or two, so retrying at a short fixed interval is both fairer and faster.
// A lock left by a process that died is recognised as stale by QLockFile itself.
bool acquire(QLockFile& lock)
{
    QDeadlineTimer deadline(lockTimeoutMs);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return false;
        QThread::msleep(lockRetryMs);
    }
    return true;
}

struct FileContents {
    enum class Status { missing, unreadable, read };
    Status status = Status::missing;
    QByteArray bytes;
};

FileContents readContents(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return {FileContents::Status::unreadable, {}};
    return {FileContents::Status::read, file.readAll()};
}

// Nothing when the bytes hold text that is not a JSON object: that text is the user's and
// must be kept before the file is overwritten. An empty file is simply an empty domain.
std::optional<QJsonObject> parseDomain(const QByteArray& bytes)
{
    if (bytes.trimmed().isEmpty())
        return QJsonObject();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

bool writeAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

UserDefaults::UserDefaults(QString path)
    : m_path(std::move(path))
{}

UserDefaults UserDefaults::standard()
{
    return UserDefaults(standardPath());
}

QString UserDefaults::standardPath()
{
    // XDG says a relative XDG_CONFIG_HOME is invalid and must be ignored.
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/quillmark/defaults.json");
}

QJsonObject UserDefaults::dictionary() const
{
    const FileContents contents = readContents(m_path);
    if (contents.status != FileContents::Status::read)
        return {};
    return parseDomain(contents.bytes).value_or(QJsonObject());
}

std::optional<QJsonValue> UserDefaults::object(const QString& key) const
{
    const QJsonValue value = dictionary().value(key);
    if (value.isUndefined() || value.isNull())
        return std::nullopt;
    return value;
}

std::optional<QString> UserDefaults::string(const QString& key) const
{
    const std::optional<QJsonValue> value = object(key);
    if (!value || !value->isString())
        return std::nullopt;
    return value->toString();
}

std::optional<qint64> UserDefaults::integer(const QString& key) const
{
    const std::optional<QJsonValue> value = object(key);
    return value ? integerValue(*value) : std::nullopt;
}

std::optional<bool> UserDefaults::boolean(const QString& key) const
{
    const std::optional<QJsonValue> value = object(key);
    if (!value || !value->isBool())
        return std::nullopt;
    return value->toBool();
}

std::optional<QStringList> UserDefaults::stringArray(const QString& key) const
{
    const std::optional<QJsonValue> value = object(key);
    if (!value || !value->isArray())
        return std::nullopt;
    QStringList strings;
    for (const QJsonValue element : value->toArray()) {
        if (!element.isString())
            return std::nullopt;
        strings.append(element.toString());
    }
    return strings;
}

std::optional<qint64> UserDefaults::integerValue(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    // The parser keeps whole numbers that fit as exact 64-bit integers; anything else
    // arrives as a double and counts only when it is whole and inside the range.
    const QVariant variant = value.toVariant();
    if (variant.typeId() == QMetaType::LongLong)
        return variant.toLongLong();
    const double number = value.toDouble();
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (!std::isfinite(number) || std::trunc(number) != number || number < -limit ||
        number >= limit)
        return std::nullopt;
    return static_cast<qint64>(number);
}

bool UserDefaults::set(const QString& key, const QJsonValue& value)
{
    return update([&](QJsonObject& domain) { domain.insert(key, value); });
}

bool UserDefaults::remove(const QString& key)
{
    return update([&](QJsonObject& domain) { domain.remove(key); });
}

bool UserDefaults::update(const std::function<void(QJsonObject&)>& change)
{
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return false;

    // Every writer takes the lock for its whole read-modify-write, so two processes adding
    // different keys at once both keep theirs. Readers need no lock: the file is only ever
    // replaced by a rename, never rewritten in place.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    if (!acquire(lock))
        return false;

    const FileContents contents = readContents(m_path);
    if (contents.status == FileContents::Status::unreadable)
        return false; // never overwrite what could not be read
    const std::optional<QJsonObject> stored = parseDomain(contents.bytes);

    QJsonObject domain = stored.value_or(QJsonObject());
    const QJsonObject before = domain;
    change(domain);
    if (domain == before)
        return true;

    // A hand-edited file that no longer parses is set aside before the first write over it.
    // The newest broken text wins: it holds the user's latest edits.
    if (!stored && !writeAtomically(m_path + QStringLiteral(".broken"), contents.bytes))
        return false;

    return writeAtomically(m_path, QJsonDocument(domain).toJson(QJsonDocument::Indented));
}
