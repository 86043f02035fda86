// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <functional>

// One desktop notification at a time through the freedesktop notification service on
// the session bus; a new one replaces the last. Without the service nothing is shown.
class DesktopNotice final : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotice(QObject* parent = nullptr);
    ~DesktopNotice() override;

    // Shows (or replaces) the notification; it stays until closed or clicked.
    void post(const QString& summary, const QString& body);
    // Withdraws it; nothing when none is shown.
    void close();

    // The user clicked the notification.
    std::function<void()> onActivated;

private Q_SLOTS:
    void actionInvoked(uint id, const QString& action);
    void notificationClosed(uint id, uint reason);

private:
    uint m_id = 0;
    bool m_wanted = false;
    bool m_listening = false;
};
