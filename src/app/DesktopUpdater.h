// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "updates/UpdateConfig.h"
#include "updates/Updater.h"

#include <memory>

// The updater of the tray application: the build's feed, the update dialog, the browser
// for the download page, and the AppImage this process runs from, if any. The clock and the
// configuration must outlive the updater.
namespace DesktopUpdater {
std::unique_ptr<Updater> make(Clock& clock, UpdateConfig& config);
}
