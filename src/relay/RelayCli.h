// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "relay/RelayConfig.h"
#include "relay/RelayStore.h"

#include <QStringList>
#include <QTextStream>

// The operator's commands (everything but `serve`): tokens, settings, the schema.
// Returns the exit status.
namespace RelayCli {

// The usage text.
QString usage();

// True for the commands run() handles.
bool handles(const QStringList& arguments);

int run(const QStringList& arguments, RelayStore& store, const RelayConfig& config, Clock& clock,
        QTextStream& out, QTextStream& err);

} // namespace RelayCli
