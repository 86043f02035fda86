// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Text that an AI server wrote (an error message, an error body) on its way to the panel,
// the terminal of `quillmark run` or the log. A server must not be able to move the
// cursor, recolour a terminal, break a message over several lines or add a log line of
// its own. Pure; any thread.
namespace ServerText {

// Longest text shown to the user, in code points, before it is cut with "…".
inline constexpr qsizetype maxShown = 300;
// Longest text written to the log, in code points, before it is cut with "…".
inline constexpr qsizetype maxLogged = 2000;

// One line for the user: terminal escape sequences and control, bidirectional-override and
// line-separator characters removed (a line break or tab becomes a space), runs of white
// space made one, the ends trimmed and the length capped. May come back empty; the caller
// then shows its own sentence.
QString forDisplay(const QString& text);

// One line for the log: line breaks and tabs escaped as \n, \r and \t, every other control
// character and line separator as \uXXXX, the length capped.
QString forLog(const QString& text);

} // namespace ServerText
