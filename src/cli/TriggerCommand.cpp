// SPDX-License-Identifier: MIT
#include "cli/TriggerCommand.h"

#include "core/InstanceBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <qcoro/qcorodbuspendingcall.h>

QCoro::Task<int> triggerCommand(const QStringList& arguments, CliIO& io)
{
    if (!arguments.isEmpty()) {
        io.err << "quillmark trigger: unexpected argument '" << arguments.first() << "'\n";
        co_return ExitCode::usage;
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        io.err << "quillmark trigger: no D-Bus session bus, so no running Quillmark can be "
                  "reached.\n";
        co_return ExitCode::failure;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(InstanceBus::service), QString::fromLatin1(InstanceBus::path),
        QString::fromLatin1(InstanceBus::interface),
        QString::fromLatin1(InstanceBus::triggerMethod));
    // Only a running tray application may answer; the bus must not start one.
    call.setAutoStartService(false);
    const QDBusMessage reply = co_await qCoro(bus.asyncCall(call)).waitForFinished();
    if (reply.type() != QDBusMessage::ErrorMessage)
        co_return ExitCode::success;

    // The bus answers ServiceUnknown for a name nobody owns (NameHasNoOwner from some
    // daemons), as auto-start is off.
    const QString error = reply.errorName();
    if (error == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        error == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")) {
        io.err << "quillmark trigger: Quillmark is not running.\n";
        co_return ExitCode::failure;
    }
    io.err << "quillmark trigger: the running Quillmark did not answer: " << reply.errorMessage()
           << '\n';
    co_return ExitCode::failure;
}
