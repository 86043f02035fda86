// SPDX-License-Identifier: MIT
#pragma once

#include "core/Completion.h"
#include "core/TextAction.h"

#include <QString>
#include <cstdint>

// The rules of running one action that hold with or without the panel: the length limit,
// the log lines of a run, the usage label and how a result keeps the original's edges.
namespace RunRules {

inline constexpr int64_t maxCharacters = 12000;

// Longest grapheme cluster that counts as one character. Unicode's stream-safe limit is 30
// combining marks after a base; emoji sequences stay far below it.
inline constexpr int64_t maxCodePointsPerCharacter = 32;

// User-perceived characters (grapheme clusters), as the length limit counts them; a
// cluster longer than maxCodePointsPerCharacter counts each of its code points, so a
// pile of combining marks cannot pass as one character.
int64_t characterCount(const QString& text);

// False for text that is empty or only white space: there is nothing to send.
bool hasContent(const QString& text);

// "Selection too large (12345 / 12,000 characters)."
QString tooLargeMessage(int64_t count);

// "120 in · 45 out".
QString usageLabel(int64_t promptTokens, int64_t completionTokens);

// The result with the original's leading and trailing white space put back and the
// model's own edge white space dropped.
QString preservingEdgeWhitespace(const QString& original, const QString& result);

// "<action> start (<n> chars in)", category ai.
void logStart(const TextAction& action, int64_t characters);
// "<action> ok in <ms>ms (in <p> out <c> tok)", category ai.
void logSuccess(const TextAction& action, int64_t milliseconds, const Completion& completion);
// "<action> failed: <detail>", category ai, error level.
void logFailure(const TextAction& action, const QString& detail);

} // namespace RunRules
