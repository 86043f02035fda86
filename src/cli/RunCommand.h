// SPDX-License-Identifier: MIT
#pragma once

#include "cli/CliIO.h"
#include "core/Clock.h"

#include <QStringList>
#include <qcoro/qcorotask.h>

class Preferences;
class SecretStore;

// `quillmark run ACTION [--language ID] [TEXT]`: runs one text action through the back-end
// the preferences choose, on TEXT or on standard input, and prints the result with the
// original's edge white space and no newline of its own. `arguments` are those after
// "run". Exit codes: 0 done, 1 the action failed (the user-facing message on standard
// error), 2 the command line was wrong and nothing was sent. The clock times the request; the
// key, when the back-end needs one, comes from `secrets`, and the rest from `preferences`.
QCoro::Task<int> runCommand(QStringList arguments, CliIO& io, Clock& clock, SecretStore& secrets,
                            Preferences& preferences);
