// SPDX-License-Identifier: MIT
#include "platform/dbus/SingleInstance.h"

#include "core/Callback.h"
#include "core/InstanceBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

SingleInstance::SingleInstance(QObject* parent)
    : QObject(parent)
{}

SingleInstance::~SingleInstance()
{
    if (!m_owned)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(QString::fromLatin1(InstanceBus::path));
    bus.unregisterService(QString::fromLatin1(InstanceBus::service));
}

SingleInstance::Claim SingleInstance::claim()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return Claim::noSessionBus;
    // The object is exported before the name is taken, so a trigger that arrives the
    // moment the name appears already finds it.
    if (!bus.registerObject(QString::fromLatin1(InstanceBus::path), this,
                            QDBusConnection::ExportScriptableSlots))
        return Claim::noSessionBus;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(QString::fromLatin1(InstanceBus::service),
                                         QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        bus.unregisterObject(QString::fromLatin1(InstanceBus::path));
        return reply.isValid() ? Claim::alreadyRunning : Claim::noSessionBus;
    }
    m_owned = true;
    return Claim::owned;
}

bool SingleInstance::askRunningInstanceToOpenSettings()
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(InstanceBus::service), QString::fromLatin1(InstanceBus::path),
        QString::fromLatin1(InstanceBus::interface),
        QString::fromLatin1(InstanceBus::openSettingsMethod));
    call.setAutoStartService(false);
    // This process has nothing else to do and no event loop yet; a running instance that
    // does not answer soon is not waited for.
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 1000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

void SingleInstance::Trigger()
{
    invokeIfSet(onTrigger);
}

void SingleInstance::OpenSettings()
{
    invokeIfSet(onOpenSettings);
}
