// SPDX-License-Identifier: MIT
#pragma once

#include "cli/CliIO.h"
#include "cli/CommandPorts.h"

#include <QStringList>
#include <qcoro/qcorotask.h>

// The one binary's command line. Without a command it starts the tray application;
// everything else is a command that runs and exits.
namespace CommandLine {

// True when these arguments (without the program name) start the tray application.
bool startsTrayApplication(const QStringList& arguments);

// Runs a command and answers its exit code. Needs a running event loop for the
// commands that talk to the network or to the running instance.
QCoro::Task<int> execute(QStringList arguments, CliIO& io, CommandPorts ports);

QString helpText();

} // namespace CommandLine
