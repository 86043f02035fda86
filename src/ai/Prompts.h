// SPDX-License-Identifier: MIT
#pragma once

#include "core/Language.h"
#include "core/Style.h"
#include "core/TextAction.h"

#include <QString>

// The instructions sent to the model on the own-key path. The hosted service builds its
// own from the wire fields, so nothing here leaves the machine on that path. Pure; any
// thread.
namespace Prompts {

// The system message for an action. `target` matters only for translate.
QString system(const TextAction& action, const Language& target);

// "<text>\n" + text + "\n</text>": the text untouched, edge white space included.
QString userMessage(const QString& text);

// The reply without surrounding white space and without one pair of <text> tags at its
// very start and end (each tag is dropped on its own if the other is missing).
QString unwrap(const QString& reply);

// How a rewrite in this tone is described to the model.
QString tonePhrase(Style style);

} // namespace Prompts
