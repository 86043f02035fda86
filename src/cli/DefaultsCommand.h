// SPDX-License-Identifier: MIT
#pragma once

#include "cli/CliIO.h"

#include <QStringList>

// `quillmark defaults read [KEY]`, `write KEY [-string|-int|-bool|-array] VALUE...` and
// `delete KEY`: the user-defaults domain seen and set from outside the application.
// The arguments are those after the word "defaults".
int defaultsCommand(const QStringList& arguments, CliIO& io);
