// SPDX-License-Identifier: MIT
// The one binary: without a command it is the tray application, otherwise it runs one
// command (trigger, run, defaults, preferences, key) and exits.
#include "app/CommandWiring.h"
#include "app/TrayApplication.h"
#include "cli/CommandLine.h"
#include "core/Log.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <qcoro/qcorotask.h>

namespace {

QByteArray readStandardInput()
{
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return {};
    return input.readAll();
}

// A command's standard error holds its own messages only: what Qt has to say goes to the
// log, and once the command has its result (the D-Bus thread may still speak while the
// process winds down) nowhere.
void logQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    const QString line = QStringLiteral("qt: ") + message;
    if (type == QtDebugMsg || type == QtInfoMsg)
        Log::app().info(line);
    else
        Log::app().error(line);
}

void dropQtMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

int runCommand(int argc, char** argv, const QStringList& arguments)
{
    QCoreApplication app(argc, argv);
    CommandWiring wiring;
    qInstallMessageHandler(logQtMessage);
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliIO io{out, err, readStandardInput};
    const int code = QCoro::waitFor(CommandLine::execute(arguments, io, wiring.ports()));
    out.flush();
    err.flush();
    qInstallMessageHandler(dropQtMessage);
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    if (CommandLine::startsTrayApplication(arguments))
        return runTrayApplication(argc, argv);
    return runCommand(argc, argv, arguments);
}
