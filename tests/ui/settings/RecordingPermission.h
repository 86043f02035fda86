// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AccessibilityPermission.h"

#include <QStringList>

// An accessibility permission granted or not as the test says, recording the prompts ("prompt"
// once per launch, "prompt if needed") and the settings it was asked to open.
class RecordingPermission final : public AccessibilityPermission {
public:
    bool isTrusted() const override { return trusted; }
    QStringList missingRequirements() const override { return missing; }
    bool promptOncePerLaunch() override
    {
        calls.append(QStringLiteral("prompt"));
        return trusted;
    }
    bool promptIfNeeded() override
    {
        calls.append(QStringLiteral("prompt if needed"));
        return trusted;
    }
    void openSystemSettings() override { calls.append(QStringLiteral("open settings")); }

    bool trusted = true;
    QStringList missing;
    QStringList calls;
};
