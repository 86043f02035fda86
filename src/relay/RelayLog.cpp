// SPDX-License-Identifier: MIT
#include "relay/RelayLog.h"

#include <cstdio>
#include <cstdlib>

namespace RelayLog {

namespace {

std::function<void(Level, const QString&)>& sink()
{
    static std::function<void(Level, const QString&)> current;
    return current;
}

void write(Level level, const QString& line)
{
    if (sink()) {
        sink()(level, line);
        return;
    }
    // Under systemd the journal reads a "<priority>" prefix (6 info, 4 warning, 3 error).
    static const bool journal = std::getenv("JOURNAL_STREAM") != nullptr;
    const char* prefix = !journal                  ? ""
                         : level == Level::info    ? "<6>"
                         : level == Level::warning ? "<4>"
                                                   : "<3>";
    std::fprintf(stderr, "%s%s\n", prefix, line.toUtf8().constData());
    std::fflush(stderr);
}

} // namespace

void info(const QString& line)
{
    write(Level::info, line);
}

void warning(const QString& line)
{
    write(Level::warning, line);
}

void error(const QString& line)
{
    write(Level::error, line);
}

void setSink(std::function<void(Level, const QString&)> replacement)
{
    sink() = std::move(replacement);
}

} // namespace RelayLog
