// SPDX-License-Identifier: MIT
#pragma once

#include "core/CaptureMethod.h"
#include "platform/TargetApplication.h"

#include <QString>
#include <optional>

// The selection of one panel cycle. The text is exactly as it was read: not trimmed,
// normalised or limited in length.
struct CapturedSelection {
    QString text;
    CaptureMethod method = CaptureMethod::ax;
    // The application that was in front when the capture began; absent when the desktop
    // reported none. Replace brings it back before pasting.
    std::optional<TargetApplication> targetApp;

    bool operator==(const CapturedSelection&) const = default;
};
