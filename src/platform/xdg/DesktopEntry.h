// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <optional>

// The launcher entry that makes a copy in ~/Applications show up in the desktop's
// application menu, as a copy in /Applications does on its own elsewhere.
namespace DesktopEntry {

// The file name of the entry, in "$XDG_DATA_HOME/applications".
inline constexpr const char* fileName = "quillmark.desktop";

// The entry's text for an executable at `executable`.
QString contents(const QString& executable);
// Writes (or replaces) the entry below `dataHome`. Nothing on success; otherwise why not.
[[nodiscard]] std::optional<QString> write(const QString& dataHome, const QString& executable);

// One argument of an Exec line: quoted when it holds anything but plain characters, with
// the escapes the desktop entry format asks for.
QString execArgument(const QString& argument);

} // namespace DesktopEntry
