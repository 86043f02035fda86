// SPDX-License-Identifier: MIT
#include "platform/process/DetachedProcessLauncher.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

namespace {

constexpr std::chrono::milliseconds pollEvery{100};

// Set by the AppImage runtime for the copy that is quitting; the new copy's runtime sets
// its own, and a plain executable must not believe it runs from the old AppImage.
const char* const appImageVariables[] = {"APPIMAGE", "APPDIR", "ARGV0", "OWD"};

} // namespace

DetachedProcessLauncher::DetachedProcessLauncher(qint64 waitForPid,
                                                 std::chrono::milliseconds longestWait)
    : m_waitForPid(waitForPid > 0 ? waitForPid : QCoreApplication::applicationPid())
    , m_longestWait(longestWait)
{}

QStringList DetachedProcessLauncher::waitingCommand(qint64 pid,
                                                    std::chrono::milliseconds longestWait,
                                                    const QString& program,
                                                    const QStringList& arguments)
{
    // The values travel as positional parameters, never inside the script text, so no
    // path or argument is ever read as shell syntax.
    const QString script =
        QStringLiteral("pid=$1; polls=$2; shift 2; n=0; "
                       "while kill -0 \"$pid\" 2>/dev/null && [ \"$n\" -lt \"$polls\" ]; do "
                       "sleep 0.1; n=$((n+1)); done; exec \"$@\"");
    return QStringList{QStringLiteral("-c"),
                       script,
                       QStringLiteral("quillmark-relaunch"),
                       QString::number(pid),
                       QString::number(longestWait / pollEvery),
                       program} +
           arguments;
}

std::optional<QString> DetachedProcessLauncher::startAfterThisProcess(const QString& program,
                                                                      const QStringList& arguments)
{
    const QFileInfo file(program);
    if (!file.isFile() || !file.isExecutable())
        return QStringLiteral("“%1” is not an executable file.").arg(program);

    QProcess process;
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments(waitingCommand(m_waitForPid, m_longestWait, program, arguments));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : appImageVariables)
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached())
        return process.errorString();
    return std::nullopt;
}
