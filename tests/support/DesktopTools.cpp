// SPDX-License-Identifier: MIT
#include "support/DesktopTools.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <unistd.h>

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() > timeout.count())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

ToolResult runTool(const QString& program, const QStringList& arguments, const QByteArray& input)
{
    QProcess process;
    process.start(program, arguments);
    ToolResult result;
    if (!process.waitForStarted(5000)) {
        result.error =
            "could not start " + program.toUtf8() + ": " + process.errorString().toUtf8();
        return result;
    }
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!waitUntil([&] { return process.state() == QProcess::NotRunning; }, 10s)) {
        process.kill();
        process.waitForFinished(5000);
        result.error = program.toUtf8() + " was still running after 10 s and was killed";
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = process.readAllStandardOutput();
    result.error = process.readAllStandardError();
    return result;
}

bool xdotool(const QStringList& arguments)
{
    return runTool(QStringLiteral("xdotool"), arguments).exitCode == 0;
}

bool waylandSeat(const QStringList& commands)
{
    QFile pipe(qEnvironmentVariable("QUILLMARK_TEST_SEAT"));
    return !pipe.fileName().isEmpty() && pipe.open(QIODevice::WriteOnly) &&
           pipe.write((commands.join(u'\n') + u'\n').toUtf8()) > 0;
}

QByteArray selectionBytes(const QString& selection, const QString& type)
{
    return runTool(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"),
                                             selection, QStringLiteral("-t"), type})
        .output;
}

QStringList selectionTypes(const QString& selection)
{
    return QString::fromUtf8(selectionBytes(selection, QStringLiteral("TARGETS")))
        .split(u'\n', Qt::SkipEmptyParts);
}

QStringList visibleWindowsOf(int64_t pid)
{
    QStringList windows;
    const QStringList ids =
        QString::fromUtf8(runTool(QStringLiteral("xdotool"),
                                  {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                   QStringLiteral("--pid"), QString::number(pid)})
                              .output)
            .split(u'\n', Qt::SkipEmptyParts);
    for (const QString& id : ids) {
        const QByteArray title =
            runTool(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), id}).output;
        windows.append(id + u' ' + QString::fromUtf8(title).trimmed());
    }
    return windows;
}

QStringList runningChildren()
{
    // Every entry of /proc is a process; its stat line is "pid (name) state ppid ...",
    // where the name may itself hold spaces and parentheses.
    QStringList children;
    const QString self = QString::number(::getpid());
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        QFile stat(QStringLiteral("/proc/") + entry + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString line = QString::fromUtf8(stat.readAll());
        const qsizetype nameEnd = line.lastIndexOf(u')');
        if (nameEnd < 0)
            continue;
        const QStringList fields = line.mid(nameEnd + 2).split(u' ');
        if (fields.size() < 2 || fields[1] != self || fields[0] == u"Z")
            continue;
        children.append(entry + u' ' +
                        line.mid(line.indexOf(u'(') + 1, nameEnd - line.indexOf(u'(') - 1));
    }
    return children;
}
