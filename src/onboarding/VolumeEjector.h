// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "platform/CommandRunner.h"

#include <QString>
#include <chrono>
#include <memory>
#include <qcoro/qcorotask.h>

// Unmounts the volume an earlier copy ran from. The earlier copy is still quitting when
// this starts and keeps the volume busy until it is gone, so the unmount is tried once a
// second, six times, before the volume is left mounted.
namespace VolumeEjector {

inline constexpr int attempts = 6;
inline constexpr std::chrono::seconds pause{1};

// Runs to its end in the background; logs the outcome. `mountTable` is read at each
// attempt (see MoveLocations::mountTable). The clock must outlive the run.
QCoro::Task<> eject(Clock& clock, QString volume, std::shared_ptr<CommandRunner> commands,
                    QString mountTable);

} // namespace VolumeEjector
