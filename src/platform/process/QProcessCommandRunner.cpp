// SPDX-License-Identifier: MIT
#include "platform/process/QProcessCommandRunner.h"

#include "core/NextEventLoopTurn.h"

#include <QProcess>
#include <QStandardPaths>
#include <coroutine>
#include <qcoro/qcoroprocess.h>

QProcessCommandRunner::QProcessCommandRunner(std::chrono::milliseconds limit)
    : m_limit(limit)
{}

QCoro::Task<int> QProcessCommandRunner::run(QString program, QStringList arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    int status = -1;
    // Starting is quick either way (the fork and exec happen right here); only waiting for
    // the tool to finish must not block.
    process.start();
    if (process.waitForStarted()) {
        if (co_await qCoro(process).waitForFinished(m_limit)) {
            if (process.exitStatus() == QProcess::NormalExit)
                status = process.exitCode();
        } else {
            process.kill();
            process.waitForFinished(1000);
        }
    }
    co_await NextEventLoopTurn{};
    co_return status;
}

QString QProcessCommandRunner::findExecutable(const QString& name) const
{
    return QStandardPaths::findExecutable(name);
}
