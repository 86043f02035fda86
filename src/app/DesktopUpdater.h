// SPDX-License-Identifier: MIT
#pragma once

#include "updates/Updater.h"

#include <memory>

// The updater of the tray application: the build's feed, the update dialog, the browser
// for the download page, and the AppImage this process runs from, if any.
namespace DesktopUpdater {
std::unique_ptr<Updater> make();
}
