// SPDX-License-Identifier: MIT
#include "support/TrayProcess.h"

#include "support/DesktopTools.h"

TrayProcess::~TrayProcess()
{
    if (isRunning()) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}

bool TrayProcess::start(const QString& binary, const QProcessEnvironment& environment)
{
    m_process = std::make_unique<QProcess>();
    m_process->setProcessEnvironment(environment);
    // Standard output stays unread and unbuffered in a pipe; the log is on standard error.
    m_process->setStandardOutputFile(QProcess::nullDevice());
    m_process->start(binary, {});
    return m_process->waitForStarted(10000);
}

const QStringList& TrayProcess::lines()
{
    if (m_process) {
        m_partial += m_process->readAllStandardError();
        qsizetype end;
        while ((end = m_partial.indexOf('\n')) >= 0) {
            m_lines.append(QString::fromUtf8(m_partial.left(end)));
            m_partial.remove(0, end + 1);
        }
    }
    return m_lines;
}

std::optional<qsizetype> TrayProcess::waitForIndex(const std::function<qsizetype()>& find,
                                                   std::chrono::milliseconds timeout)
{
    qsizetype index = -1;
    (void)waitUntil([&] { return (index = find()) >= 0 || !isRunning(); }, timeout);
    return index >= 0 ? std::optional(index) : std::nullopt;
}

std::optional<qsizetype> TrayProcess::waitForLine(const QString& line, qsizetype from,
                                                  std::chrono::milliseconds timeout)
{
    return waitForIndex([&] { return lines().indexOf(line, from); }, timeout);
}

std::optional<qsizetype> TrayProcess::waitForMatch(const QRegularExpression& pattern,
                                                   qsizetype from,
                                                   std::chrono::milliseconds timeout)
{
    const QRegularExpression whole(QRegularExpression::anchoredPattern(pattern.pattern()));
    return waitForIndex([&] { return lines().indexOf(whole, from); }, timeout);
}

qsizetype TrayProcess::count(const QString& line, qsizetype from)
{
    return lines().mid(from).count(line);
}

QString TrayProcess::tail(int count)
{
    if (!m_process)
        return QStringLiteral("(quillmark was not started)");
    // The product's own lines ("LEVEL CATEGORY: MESSAGE") tell the story; anything else on
    // standard error (a sanitizer report, a toolkit warning) is shown apart, from its start,
    // where the report says what went wrong.
    static const QRegularExpression logLine(QStringLiteral("^(info|error) [a-z]+: "));
    QStringList own;
    QStringList other;
    for (const QString& line : lines())
        (logLine.match(line).hasMatch() ? own : other).append(line);
    QString text = own.mid(std::max<qsizetype>(0, own.size() - count)).join(u'\n');
    if (!other.isEmpty())
        text += QStringLiteral("\n--- other output ---\n") + other.mid(0, count).join(u'\n');
    if (!isRunning())
        text += QStringLiteral("\n(quillmark has ended, exit code %1)")
                    .arg(QString::number(m_process->exitCode()));
    return text;
}

TrayProcess::Ending TrayProcess::stop(std::chrono::milliseconds patience)
{
    if (!m_process)
        return {true, QStringLiteral("never started")};
    if (isRunning()) {
        m_process->terminate();
        if (!waitUntil([&] { return !isRunning(); }, patience)) {
            m_process->kill();
            m_process->waitForFinished(5000);
            lines();
            return {false, QStringLiteral("did not end within %1 ms of SIGTERM and was killed")
                               .arg(QString::number(patience.count()))};
        }
    }
    lines();
    if (m_process->exitStatus() != QProcess::NormalExit)
        return {false, QStringLiteral("crashed")};
    if (m_process->exitCode() != 0)
        return {
            false,
            QStringLiteral("ended with exit code %1").arg(QString::number(m_process->exitCode()))};
    return {true, QStringLiteral("ended with exit code 0")};
}
