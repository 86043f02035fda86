// SPDX-License-Identifier: MIT
#include "ForeignClipboard.h"

#include "support/DesktopTools.h"

ForeignClipboard::~ForeignClipboard()
{
    stop();
}

bool ForeignClipboard::own(const QString& helper, Types types)
{
    m_types = std::move(types);
    QStringList arguments;
    for (const auto& [type, bytes] : m_types)
        arguments.append(type + u'=' + QString::fromUtf8(bytes));
    m_helper = std::make_unique<QProcess>();
    m_helper->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_helper->start(helper, arguments);
    if (!m_helper->waitForStarted(5000))
        return false;
    const bool owned = waitUntil(
        [&] { return m_helper->canReadLine() || m_helper->state() == QProcess::NotRunning; });
    return owned && m_helper->readLine().trimmed() == "owned" && differences().isEmpty();
}

QStringList ForeignClipboard::differences() const
{
    QStringList different;
    for (const auto& [type, bytes] : m_types) {
        const QByteArray now = selectionBytes(QStringLiteral("clipboard"), type);
        if (now != bytes)
            different.append(QStringLiteral("%1 is \"%2\" instead of \"%3\"")
                                 .arg(type, QString::fromUtf8(now), QString::fromUtf8(bytes)));
    }
    return different;
}

void ForeignClipboard::stop()
{
    if (m_helper && m_helper->state() != QProcess::NotRunning) {
        m_helper->kill();
        m_helper->waitForFinished(5000);
    }
}
