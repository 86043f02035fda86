// SPDX-License-Identifier: MIT
#pragma once

// Where the running tray application answers on the session bus. Owning the service name
// is what makes an instance the one instance of the desktop session; `quillmark trigger`
// calls Trigger on the object below, and a second start of the tray application calls
// OpenSettings.
namespace InstanceBus {
inline constexpr const char* service = "com.veltra.quillmark";
inline constexpr const char* path = "/com/veltra/quillmark";
inline constexpr const char* interface = "com.veltra.quillmark.Application";
inline constexpr const char* triggerMethod = "Trigger";
inline constexpr const char* openSettingsMethod = "OpenSettings";
} // namespace InstanceBus
