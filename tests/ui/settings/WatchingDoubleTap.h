// SPDX-License-Identifier: MIT
#pragma once

#include "core/DoubleTapModifier.h"
#include "input/DoubleTapTrigger.h"

#include <QObject>
#include <QStringList>

// A double-tap watcher that publishes its waiting flag as the desktop's does, set by the
// test, and records what it was asked to do.
class WatchingDoubleTap final : public QObject, public DoubleTapTrigger {
    Q_OBJECT
    Q_PROPERTY(bool isWaitingForAccessibility READ isWaitingForAccessibility NOTIFY
                   isWaitingForAccessibilityChanged)

public:
    void apply(DoubleTapModifier modifier) override
    {
        calls.append(QStringLiteral("apply ") + rawValue(modifier));
    }
    void setSuspended(bool suspended) override
    {
        calls.append(suspended ? QStringLiteral("suspend") : QStringLiteral("resume"));
    }
    void noteHotkeyPress() override {}

    bool isWaitingForAccessibility() const { return m_waiting; }
    void setWaiting(bool waiting)
    {
        m_waiting = waiting;
        emit isWaitingForAccessibilityChanged(waiting);
    }

    QStringList calls;

signals:
    void isWaitingForAccessibilityChanged(bool isWaiting);

private:
    bool m_waiting = false;
};
