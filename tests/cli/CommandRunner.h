// SPDX-License-Identifier: MIT
#pragma once

#include "cli/CliIO.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

// What a command printed and answered when run in-process.
struct CommandResult {
    int exitCode = -1;
    QString out;
    QString err;
};

template <class Command>
CommandResult runCommand(Command command, const QStringList& arguments, QByteArray input = {})
{
    CommandResult result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    CliIO io{out, err, [input] { return input; }};
    result.exitCode = command(arguments, io);
    out.flush();
    err.flush();
    return result;
}
