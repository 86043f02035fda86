// SPDX-License-Identifier: MIT
#pragma once

#include "support/ChildProcess.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QTemporaryDir>

// Another application that owns the clipboard with one item of several types, each type's
// bytes given here, as a browser serves text and HTML (the clipboard_owner program).
class ClipboardOwner {
public:
    using Types = QList<QPair<QString, QByteArray>>;
    // Bytes that stand for a type the owner offers but never delivers, hanging instead.
    static inline const QByteArray stalled = QByteArrayLiteral("\x01stalled\x02");

    // Puts the item on the clipboard now; false when the helper did not manage it.
    [[nodiscard]] bool own(const Types& types);
    // The types clients asked the owner for since the last call.
    QStringList askedFor();
    // Which types no longer read back as they were put there, with what they read as.
    QStringList differences() const;
    void stop() { m_helper.stop(); }

private:
    QTemporaryDir m_files;
    ChildProcess m_helper;
    Types m_types;
};
