// SPDX-License-Identifier: MIT
#pragma once

#include "cli/CliIO.h"

#include <QStringList>

class SecretStore;

// `quillmark key set|delete|status`: the own OpenAI key in the keyring, from a script.
// `set` reads the key from standard input, never from the command line, and trims white
// space and newlines as the settings window does; it refuses (exit 1, the stored key kept)
// when nothing is left or the key holds a line break or another control character. No
// output or message ever contains the key.
// `arguments` are those after the word "key"; the key lives in `secrets`.
int keyCommand(const QStringList& arguments, CliIO& io, SecretStore& secrets);
