// SPDX-License-Identifier: MIT
#include "platform/dbus/SingleInstance.h"

#include "app/Callback.h"
#include "platform/dbus/InstanceBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

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

void SingleInstance::Trigger()
{
    invokeIfSet(onTrigger);
}
