// SPDX-License-Identifier: MIT
#pragma once

#include "cli/CliIO.h"
#include "core/Clock.h"
#include "core/HotkeyShortcut.h"

#include <QStringList>

class Preferences;

// `quillmark preferences`: every resolved setting as one "name: value" line, as the
// application sees it after the fallbacks to the defaults.
int preferencesCommand(const QStringList& arguments, CliIO& io, KeyCharacters& layout, Clock& clock,
                       const Preferences& preferences);
