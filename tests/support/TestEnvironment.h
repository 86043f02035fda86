// SPDX-License-Identifier: MIT
#pragma once

#include "support/fakes/FakeClock.h"
#include "support/fakes/MemoryLogSink.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <optional>

// Points XDG_CONFIG_HOME (and XDG_DATA_HOME, XDG_STATE_HOME) at a fresh temporary
// directory for the life of the object, so no test touches the user's settings.
class ScopedConfigHome {
public:
    ScopedConfigHome();
    ~ScopedConfigHome();
    ScopedConfigHome(const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

    QString path() const { return m_dir.path(); }
    QString defaultsPath() const;

private:
    QTemporaryDir m_dir;
    std::optional<QByteArray> m_saved[3];
};

// Collects the log lines written while it lives.
class ScopedLogCapture {
public:
    ScopedLogCapture();
    ~ScopedLogCapture();
    ScopedLogCapture(const ScopedLogCapture&) = delete;
    ScopedLogCapture& operator=(const ScopedLogCapture&) = delete;

    MemoryLogSink sink;
    QStringList lines() const { return sink.lines(); }
};

// Writes a file as a user with an editor would, creating its folder.
inline void writeRawFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

inline QByteArray readRawFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QJsonObject readJsonFile(const QString& path)
{
    return QJsonDocument::fromJson(readRawFile(path)).object();
}
