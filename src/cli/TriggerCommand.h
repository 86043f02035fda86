// SPDX-License-Identifier: MIT
#pragma once

#include "cli/CliIO.h"

#include <QStringList>
#include <qcoro/qcorotask.h>

// `quillmark trigger`: asks the running instance to do what the shortcut does.
QCoro::Task<int> triggerCommand(const QStringList& arguments, CliIO& io);
