// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The button offered beside an error. `none` leaves only Copy and Back.
enum class ErrorRecovery { none, openSettings, update, retry };

// The case name, as the self-test log line prints it.
inline QString caseName(ErrorRecovery recovery)
{
    switch (recovery) {
    case ErrorRecovery::none:
        return QStringLiteral("none");
    case ErrorRecovery::openSettings:
        return QStringLiteral("openSettings");
    case ErrorRecovery::update:
        return QStringLiteral("update");
    case ErrorRecovery::retry:
        return QStringLiteral("retry");
    }
    return {};
}
