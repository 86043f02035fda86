// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPair>
#include <QProcess>
#include <memory>

// What another application left on the clipboard before the shortcut was pressed: an
// item of several types, served by a helper process, as a browser serves text and HTML.
class ForeignClipboard {
public:
    using Types = QList<QPair<QString, QByteArray>>;

    ForeignClipboard() = default;
    ~ForeignClipboard();
    ForeignClipboard(const ForeignClipboard&) = delete;
    ForeignClipboard& operator=(const ForeignClipboard&) = delete;

    // Puts the item on the clipboard and waits until another client can read every type.
    [[nodiscard]] bool own(const QString& helper, Types types);
    // Which types no longer read back as they were put there, with what they read as.
    QStringList differences() const;
    void stop();

private:
    Types m_types;
    std::unique_ptr<QProcess> m_helper;
};
