// SPDX-License-Identifier: MIT
#include "platform/kde/KGlobalAccelHold.h"

#include <QDBusConnection>

namespace {
const QString service = QStringLiteral("org.kde.kglobalaccel");
const QString componentInterface = QStringLiteral("org.kde.kglobalaccel.Component");
} // namespace

KGlobalAccelHold::KGlobalAccelHold(QString component, QString action, Clock& clock)
    : m_component(std::move(component))
    , m_action(std::move(action))
    , m_clock(clock)
{
    // An empty path matches every component's object.
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(service, QString(), componentInterface, QStringLiteral("globalShortcutPressed"),
                this, SLOT(onPressed(QString, QString, qlonglong)));
    bus.connect(service, QString(), componentInterface, QStringLiteral("globalShortcutReleased"),
                this, SLOT(onReleased(QString, QString, qlonglong)));
}

QCoro::Task<> KGlobalAccelHold::changed(std::chrono::milliseconds timeout)
{
    const std::unique_ptr<ClockTimer> timer =
        m_clock.startTimer(timeout, [this] { m_wakeup.wakeLater(); });
    co_await m_wakeup.next();
}

void KGlobalAccelHold::onPressed(const QString& component, const QString& action, qlonglong)
{
    set(component, action, true);
}

void KGlobalAccelHold::onReleased(const QString& component, const QString& action, qlonglong)
{
    set(component, action, false);
}

void KGlobalAccelHold::set(const QString& component, const QString& action, bool held)
{
    if (component != m_component || action != m_action || held == m_held)
        return;
    m_held = held;
    m_wakeup.wakeLater();
}
