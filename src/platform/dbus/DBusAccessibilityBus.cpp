// SPDX-License-Identifier: MIT
#include "platform/dbus/DBusAccessibilityBus.h"

#include "core/Log.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

constexpr const char* service = "org.a11y.Bus";
constexpr const char* path = "/org/a11y/bus";
constexpr const char* statusInterface = "org.a11y.Status";
constexpr const char* enabledProperty = "IsEnabled";
// The launcher answers at once when it runs; a hung one is not waited for long.
constexpr int replyTimeoutMs = 2000;

QDBusMessage propertiesCall(const char* method, bool autoStart)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(service), QString::fromLatin1(path),
        QStringLiteral("org.freedesktop.DBus.Properties"), QString::fromLatin1(method));
    call.setAutoStartService(autoStart);
    return call;
}

} // namespace

DBusAccessibilityBus::DBusAccessibilityBus(QObject* parent)
    : QObject(parent)
{}

void DBusAccessibilityBus::readState(std::function<void(State)> done)
{
    QDBusMessage call = propertiesCall("Get", false);
    call << QString::fromLatin1(statusInterface) << QString::fromLatin1(enabledProperty);
    auto* watcher = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(call, replyTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [done = std::move(done)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *finished;
                if (reply.isError()) {
                    done(State::unknown);
                    return;
                }
                done(reply.value().variant().toBool() ? State::on : State::off);
            });
}

void DBusAccessibilityBus::switchOn(std::function<void(bool accepted)> done)
{
    QDBusMessage call = propertiesCall("Set", true);
    call << QString::fromLatin1(statusInterface) << QString::fromLatin1(enabledProperty)
         << QVariant::fromValue(QDBusVariant(true));
    auto* watcher = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(call, replyTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [done = std::move(done)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<> reply = *finished;
                if (reply.isError()) {
                    Log::app().error(QStringLiteral("switching on the accessibility bus failed: %1")
                                         .arg(reply.error().message()));
                    done(false);
                    return;
                }
                Log::app().info(QStringLiteral("accessibility bus switched on"));
                done(true);
            });
}
