// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>

// The relay's log: one line per event on standard error, which systemd files in the journal
// with the line's priority. Lines carry ids, names, counts and times; never a request's
// text, a token or a key. Main thread.
namespace RelayLog {

enum class Level { info, warning, error };

void info(const QString& line);
void warning(const QString& line);
void error(const QString& line);

// Sends the lines elsewhere (tests); an empty function restores standard error.
void setSink(std::function<void(Level, const QString&)> sink);

} // namespace RelayLog
