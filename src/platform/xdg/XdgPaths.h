// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Where this program and its files live on a freedesktop system.
namespace XdgPaths {

// The user's configuration folder ($XDG_CONFIG_HOME, or ~/.config when it is unset or
// relative, which XDG says must be ignored).
QString configHome();
// The AppImage this process runs from ($APPIMAGE) as the runtime gave it; empty when it is
// not one.
QString appImage();
// The file this copy runs from: the AppImage when it runs as one, the executable otherwise.
QString runningProgram();

} // namespace XdgPaths
