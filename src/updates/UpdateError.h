// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The numbers follow the update framework the feed format comes from, so a log line
// reads the same whichever platform wrote it.
enum class UpdateErrorCode {
    appcastParse = 1000,
    noUpdate = 1001,
    appcast = 1002,
    download = 2001,
    validation = 3002,
    relaunch = 4004,
    installation = 4005,
};

// Why an update session ended without installing: a sentence for the user and the log.
struct UpdateError {
    UpdateErrorCode code = UpdateErrorCode::appcast;
    QString description;

    bool operator==(const UpdateError&) const = default;
};
