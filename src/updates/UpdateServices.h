// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ProcessLauncher.h"
#include "platform/UrlOpener.h"
#include "updates/UpdateUserDriver.h"

#include <QString>
#include <functional>
#include <memory>

// What the update controller needs from the desktop. Every pointer must be set.
struct UpdateServices {
    std::unique_ptr<UpdateUserDriver> userDriver;
    std::unique_ptr<UrlOpener> urlOpener;
    std::unique_ptr<ProcessLauncher> launcher;
    // Ends this process after an installed AppImage was asked to start in its place.
    std::function<void()> quit;
    // The AppImage this process runs from ($APPIMAGE); empty when it is not one.
    QString appImagePath;
};
