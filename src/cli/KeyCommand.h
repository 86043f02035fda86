// SPDX-License-Identifier: MIT
#pragma once

#include "cli/CliIO.h"

#include <QStringList>

// `quillmark key set|delete|status`: the own OpenAI key in the keyring, from a script.
// `set` reads the key from standard input, never from the command line, trims white
// space and newlines as the settings window does, and removes the key when nothing is
// left. No output or message ever contains the key.
// `arguments` are those after the word "key".
int keyCommand(const QStringList& arguments, CliIO& io);
