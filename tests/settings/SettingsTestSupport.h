// SPDX-License-Identifier: MIT
#pragma once

#include "platform/KeyboardLayout.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

// Writes the defaults file as a user with an editor would, creating its folder.
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

// A US-style layout for the one key the default shortcut names.
class TKeyLayout final : public KeyboardLayout {
public:
    std::optional<QString> unmodifiedText(uint32_t virtualKeyCode) override
    {
        if (virtualKeyCode == 17)
            return QStringLiteral("t");
        return std::nullopt;
    }
};
