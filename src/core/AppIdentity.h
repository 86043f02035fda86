// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace AppIdentity {
inline constexpr const char* name = "Quillmark";
inline constexpr const char* bundleIdentifier = "com.veltra.quillmark";

// The product's version as configured in CMake, or "unknown" for a build without one.
const QString& version();

// Picks the version to report from a configured value: "unknown" when it is empty.
QString versionFrom(const char* configured);
} // namespace AppIdentity
