// SPDX-License-Identifier: MIT
#include "onboarding/VolumeEjector.h"

#include "core/Log.h"
#include "onboarding/UnmountCommand.h"

#include <QFile>

namespace VolumeEjector {

namespace {

QByteArray readMountTable(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// One try: every installed tool in turn until one succeeds. No tool at all, or one that
// cannot start, counts as a failed try like one that reports the volume busy.
QCoro::Task<bool> unmountOnce(QString volume, std::shared_ptr<CommandRunner> commands,
                              QString mountTable)
{
    const QList<UnmountCommand> candidates =
        UnmountCommand::candidatesFor(volume, *commands, readMountTable(mountTable));
    for (const UnmountCommand& command : candidates) {
        if (co_await commands->run(command.program, command.arguments) == 0)
            co_return true;
    }
    co_return false;
}

} // namespace

QCoro::Task<> eject(Clock& clock, QString volume, std::shared_ptr<CommandRunner> commands,
                    QString mountTable)
{
    for (int attempt = 1;; ++attempt) {
        co_await clock.sleep(pause);
        if (co_await unmountOnce(volume, commands, mountTable)) {
            Log::app().info(QStringLiteral("ejected %1 after %2 attempt(s)")
                                .arg(volume, QString::number(attempt)));
            co_return;
        }
        if (attempt >= attempts) {
            Log::app().error(QStringLiteral("could not eject %1 — leaving it mounted").arg(volume));
            co_return;
        }
    }
}

} // namespace VolumeEjector
