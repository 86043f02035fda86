// SPDX-License-Identifier: MIT
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

// The product's user-defaults domain: one JSON object in a file, holding strings,
// integers, booleans and arrays with their JSON types. Every read looks at the file, so a
// change made by another process (`quillmark defaults write`) is seen at once; a file that
// has not changed since the last read is not read and parsed again. Writes
// replace the file atomically under a lock file, so a reader never sees half a document
// and two writers never lose each other's keys. A file that is not a JSON object reads as
// empty; before it is first overwritten it is kept as "<file>.broken" (a link of that name
// is replaced, never followed). A number too large for a double loses only its own key.
// Only a regular file of at most 1 MiB is read, without ever waiting (a FIFO or a device in
// its place reads as empty and is not written over). The file is written readable by its
// owner only (0600) and its folder, when Quillmark makes it, likewise (0700): it may hold
// the relay's credential.
class UserDefaults {
public:
    explicit UserDefaults(QString path);

    // $XDG_CONFIG_HOME/quillmark/defaults.json, or ~/.config/quillmark/defaults.json.
    static UserDefaults standard();
    static QString standardPath();

    const QString& path() const { return m_path; }

    // The whole domain; empty when the file is missing or broken.
    QJsonObject dictionary() const;
    // The stored value; nothing when the key is absent. A JSON null counts as absent, as
    // the domain has no null of its own.
    std::optional<QJsonValue> object(const QString& key) const;

    // Typed reads: nothing when the key is absent or holds another type. An integer is a
    // JSON number without a fractional part inside the 64-bit range.
    std::optional<QString> string(const QString& key) const;
    std::optional<qint64> integer(const QString& key) const;
    std::optional<bool> boolean(const QString& key) const;
    // Nothing unless the value is an array whose elements are all strings.
    std::optional<QStringList> stringArray(const QString& key) const;

    // The integer rule above, for values already taken out of the domain (inside update()).
    static std::optional<qint64> integerValue(const QJsonValue& value);

    // Each answers false when the file could not be written; the old file then stays.
    [[nodiscard]] bool set(const QString& key, const QJsonValue& value);
    [[nodiscard]] bool remove(const QString& key);
    // Read, change and write back under the lock, for sequences such as adding usage.
    // When the change leaves the domain as it was, the file is not touched.
    [[nodiscard]] bool update(const std::function<void(QJsonObject&)>& change);

private:
    QString m_path;
    // The domain as last read, and which version of the file it came from (device, inode,
    // size, change and modification times), so that reads of an unchanged file skip
    // reading and parsing it again. Each copy of the object keeps its own.
    struct Cache {
        std::array<int64_t, 7> file{};
        QJsonObject domain;
    };
    mutable std::optional<Cache> m_cache;
};
