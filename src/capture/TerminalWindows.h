// SPDX-License-Identifier: MIT
#pragma once

#include "platform/KeystrokeSender.h"
#include "platform/TargetApplication.h"

#include <QStringList>
#include <optional>

class Preferences;

// Which applications are terminals, told by the class part of their WM_CLASS. Terminals
// copy and paste with Ctrl+Shift+C and Ctrl+Shift+V, because Ctrl+C would interrupt the
// program running in them.
//
// The user default "terminalWindowClasses" (an array of strings) replaces the built-in
// list, for a terminal it does not know or one configured to copy with Ctrl+C. Classes
// are compared without regard to case.
namespace TerminalWindows {
inline constexpr const char* defaultsKey = "terminalWindowClasses";

// The WM_CLASS classes of the terminals common on Linux desktops.
QStringList builtInClasses();
// The user default when it holds an array of strings, the built-in list otherwise.
QStringList classes(const Preferences& preferences);
// False when there is no application.
bool isTerminal(const Preferences& preferences,
                const std::optional<TargetApplication>& application);
ChordStyle chordStyle(const Preferences& preferences,
                      const std::optional<TargetApplication>& application);
} // namespace TerminalWindows
