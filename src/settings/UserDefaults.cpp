// SPDX-License-Identifier: MIT
#include "settings/UserDefaults.h"

#include "platform/xdg/XdgPaths.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLockFile>
#include <QSaveFile>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>
#include <QVariant>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Long enough for any other writer to finish one small file, short enough that a wedged
// lock does not freeze the panel for good.
constexpr int lockTimeoutMs = 5000;
constexpr int lockRetryMs = 1;

// Lets the thread's event loop run for a moment: timers, sockets and painting go on while a
// write waits for the lock. User input waits, so a click cannot start a second write inside
// this one. A thread without an event loop simply sleeps.
void pause(int ms)
{
    if (QCoreApplication::instance() == nullptr ||
        QThread::currentThread()->eventDispatcher() == nullptr) {
        QThread::msleep(ms);
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

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
        pause(lockRetryMs);
    }
    return true;
}

// Far more than any settings file; a bigger one is not ours to read.
constexpr qint64 maxFileBytes = 1024 * 1024;

// Which version of a file this is. Every write of the domain replaces the file by a rename,
// which gives it a new inode; an editor writing in place changes its size or its times.
std::array<int64_t, 7> versionOf(const struct stat& info)
{
    return {int64_t(info.st_dev),          int64_t(info.st_ino),
            int64_t(info.st_size),         int64_t(info.st_mtim.tv_sec),
            int64_t(info.st_mtim.tv_nsec), int64_t(info.st_ctim.tv_sec),
            int64_t(info.st_ctim.tv_nsec)};
}

// File times advance in coarse steps (a few milliseconds), so a file rewritten in place
// twice within one step, at the same size, would look unchanged. A version whose change is
// that recent is not trusted: the next read reads the file again.
bool settled(const struct stat& info)
{
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const int64_t changedMs = int64_t(info.st_ctim.tv_sec) * 1000 + info.st_ctim.tv_nsec / 1000000;
    const int64_t nowMs = int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    return nowMs - changedMs > 100;
}

struct FileContents {
    enum class Status { missing, unreadable, read };
    Status status = Status::missing;
    QByteArray bytes;
    // Set when the file was read and is settled (see above).
    std::optional<std::array<int64_t, 7>> version = {};
};

// Reads a regular file of at most maxFileBytes. The open does not block (a FIFO put in
// the file's place would otherwise wait for a writer forever), and anything that is not a
// regular file (a FIFO, /dev/zero, a folder) or is too large counts as unreadable.
FileContents readContents(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {errno == ENOENT ? FileContents::Status::missing : FileContents::Status::unreadable,
                {}};
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > maxFileBytes)
        return {FileContents::Status::unreadable, {}};
    // The file may grow after the size was checked, so the cap holds while reading too.
    QByteArray bytes;
    char buffer[16384];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 || bytes.size() + count > maxFileBytes)
            return {FileContents::Status::unreadable, {}};
        if (count == 0)
            return {FileContents::Status::read, bytes,
                    settled(info) ? std::optional(versionOf(info)) : std::nullopt};
        bytes.append(buffer, count);
    }
}

// A number beyond the range of a double (1e400) makes the parser give up on the whole
// document. Such numbers become null, which reads as absent, so only their keys are lost.
QByteArray withHugeNumbersAsNull(const QByteArray& bytes)
{
    QByteArray repaired;
    repaired.reserve(bytes.size());
    bool inString = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (inString) {
            repaired.append(c);
            if (c == '\\' && i + 1 < bytes.size())
                repaired.append(bytes[++i]);
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"')
            inString = true;
        if (c != '-' && !(c >= '0' && c <= '9')) {
            repaired.append(c);
            continue;
        }
        qsizetype end = i;
        while (end < bytes.size() && std::strchr("+-.0123456789eE", bytes[end]) && bytes[end])
            ++end;
        const QByteArray number = bytes.mid(i, end - i);
        bool ok = false;
        const double value = number.toDouble(&ok);
        repaired.append(ok && std::isfinite(value) ? number : QByteArray("null"));
        i = end - 1;
    }
    return repaired;
}

// Nothing when the bytes hold text that is not a JSON object: that text is the user's and
// must be kept before the file is overwritten. An empty file is simply an empty domain.
std::optional<QJsonObject> parseDomain(const QByteArray& bytes)
{
    if (bytes.trimmed().isEmpty())
        return QJsonObject();
    QJsonParseError error;
    QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error == QJsonParseError::IllegalNumber)
        document = QJsonDocument::fromJson(withHugeNumbersAsNull(bytes), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

// The file may hold the relay's credential: only its owner may read it.
bool writeAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        file.write(bytes) != bytes.size()) {
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
    return XdgPaths::configHome() + QStringLiteral("/quillmark/defaults.json");
}

QJsonObject UserDefaults::dictionary() const
{
    struct stat info {};
    if (m_cache && ::stat(QFile::encodeName(m_path).constData(), &info) == 0 &&
        versionOf(info) == m_cache->file)
        return m_cache->domain;
    m_cache.reset();
    const FileContents contents = readContents(m_path);
    if (contents.status != FileContents::Status::read)
        return {};
    QJsonObject domain = parseDomain(contents.bytes).value_or(QJsonObject());
    if (contents.version)
        m_cache = Cache{*contents.version, domain};
    return domain;
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
    // The folder is made private when it is made; one that exists is left as it is.
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        (void)QDir().mkpath(QFileInfo(folder).absolutePath());
        // Another writer may make it at the same moment; either way it must be there.
        (void)QDir().mkdir(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ExeOwner);
        if (!QFileInfo(folder).isDir())
            return false;
    }

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
    // A link in its place is removed, not followed: the copy must never land elsewhere.
    const QString brokenPath = m_path + QStringLiteral(".broken");
    if (!stored && QFileInfo(brokenPath).isSymLink() && !QFile::remove(brokenPath))
        return false;
    if (!stored && !writeAtomically(brokenPath, contents.bytes))
        return false;

    return writeAtomically(m_path, QJsonDocument(domain).toJson(QJsonDocument::Indented));
}
