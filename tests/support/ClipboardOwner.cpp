// SPDX-License-Identifier: MIT
#include "support/ClipboardOwner.h"

#include "support/DesktopTools.h"

#include <QFile>

bool ClipboardOwner::own(const Types& types)
{
    m_types = types;
    QStringList arguments;
    int index = 0;
    for (const auto& [type, bytes] : types) {
        if (bytes == stalled) {
            arguments.append(type + QStringLiteral("=-stall"));
            continue;
        }
        const QString path = m_files.filePath(QString::number(index++));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
        arguments.append(type + u'=' + path);
    }
    return m_helper.start(QStringLiteral(QM_CLIPBOARD_OWNER), arguments) && waitUntil([this] {
               return m_helper.process()->canReadLine() &&
                      m_helper.process()->readLine().trimmed() == "owned";
           });
}

QStringList ClipboardOwner::askedFor()
{
    QStringList types;
    QProcess* helper = m_helper.process();
    helper->waitForReadyRead(0);
    while (helper->canReadLine()) {
        const QByteArray line = helper->readLine().trimmed();
        if (line.startsWith("asked "))
            types.append(QString::fromUtf8(line.mid(6)));
    }
    return types;
}

QStringList ClipboardOwner::differences() const
{
    QStringList different;
    for (const auto& [type, bytes] : m_types) {
        if (bytes == stalled)
            continue;
        const QByteArray now = selectionBytes(QStringLiteral("clipboard"), type);
        if (now != bytes)
            different.append(QStringLiteral("%1 is \"%2\" instead of \"%3\"")
                                 .arg(type, QString::fromUtf8(now), QString::fromUtf8(bytes)));
    }
    return different;
}
