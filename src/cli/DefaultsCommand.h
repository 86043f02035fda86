// SPDX-License-Identifier: MIT
#pragma once

#include "cli/CliIO.h"

#include <QStringList>

// `quillmark defaults read [KEY]`, `write KEY [-string|-int|-bool|-array] VALUE...`,
// `write KEY -stdin` (a string from standard input, trimmed, for a token that must not
// appear on a command line) and `delete KEY`: the user-defaults domain seen and set from
// outside the application. A credential (proxyToken, deviceID) with a line break or
// another control character is refused. The arguments are those after the word
// "defaults".
int defaultsCommand(const QStringList& arguments, CliIO& io);
