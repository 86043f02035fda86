// SPDX-License-Identifier: MIT
#include "support/ChildProcess.h"

ChildProcess::~ChildProcess()
{
    stop();
}

bool ChildProcess::start(const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& environment)
{
    stop();
    m_process = std::make_unique<QProcess>();
    m_process->setProcessEnvironment(environment);
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start(program, arguments);
    return m_process->waitForStarted(5000);
}

void ChildProcess::stop()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
    m_process.reset();
}
