// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QStringList>
#include <cstdint>
#include <memory>

// A child process that is killed and reaped when the object goes, so no test leaves one
// behind. Its standard error goes to the test's.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    [[nodiscard]] bool
    start(const QString& program, const QStringList& arguments,
          const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    void stop();
    int64_t pid() const { return m_process ? m_process->processId() : 0; }
    QProcess* process() { return m_process.get(); }

private:
    std::unique_ptr<QProcess> m_process;
};
