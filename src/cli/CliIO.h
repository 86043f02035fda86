// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QTextStream>
#include <functional>

// Where a command reads and writes, so tests can run commands in-process.
struct CliIO {
    QTextStream& out;
    QTextStream& err;
    // Reads standard input to its end.
    std::function<QByteArray()> readInput;
};

namespace ExitCode {
inline constexpr int success = 0;
inline constexpr int failure = 1; // the command ran and failed
inline constexpr int usage = 2;   // the command line was wrong; nothing was done
} // namespace ExitCode
