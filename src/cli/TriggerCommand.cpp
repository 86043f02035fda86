// SPDX-License-Identifier: MIT
#include "cli/TriggerCommand.h"

QCoro::Task<int> triggerCommand(const QStringList& arguments, CliIO& io)
{
    if (!arguments.isEmpty()) {
        io.err << "quillmark trigger: unexpected argument '" << arguments.first() << "'\n";
        co_return ExitCode::usage;
    }
    io.err << "quillmark trigger: Quillmark is not running.\n";
    co_return ExitCode::failure;
}
