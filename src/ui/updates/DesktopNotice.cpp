// SPDX-License-Identifier: MIT
#include "ui/updates/DesktopNotice.h"

#include "core/AppIdentity.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>
#include <QVariantMap>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");

} // namespace

DesktopNotice::DesktopNotice(QObject* parent)
    : QObject(parent)
{}

DesktopNotice::~DesktopNotice()
{
    close();
}

void DesktopNotice::post(const QString& summary, const QString& body)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    m_wanted = true;
    // The service's signals matter only once there is a notification of ours; listening
    // from the first one on keeps three bus calls out of every start.
    if (!m_listening) {
        m_listening = true;
        bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                    SLOT(actionInvoked(uint, QString)));
        bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                    SLOT(notificationClosed(uint, uint)));
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("quillmark")}};
    call << QString::fromUtf8(AppIdentity::name) << m_id
         << QStringLiteral("software-update-available") << summary << body
         << QStringList{QStringLiteral("default"), QStringLiteral("Show Update")} << hints
         << int(0);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        w->deleteLater();
        if (reply.isError())
            return;
        m_id = reply.value();
        // Withdrawn while the service was still answering: take it down now.
        if (!m_wanted)
            close();
    });
}

void DesktopNotice::close()
{
    m_wanted = false;
    if (m_id == 0)
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface,
                                                       QStringLiteral("CloseNotification"));
    call << m_id;
    QDBusConnection::sessionBus().asyncCall(call);
    m_id = 0;
}

void DesktopNotice::actionInvoked(uint id, const QString&)
{
    if (id == 0 || id != m_id)
        return;
    if (onActivated)
        onActivated();
}

void DesktopNotice::notificationClosed(uint id, uint)
{
    if (id != 0 && id == m_id)
        m_id = 0;
}
