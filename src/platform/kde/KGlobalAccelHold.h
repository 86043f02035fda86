// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "core/Wakeup.h"
#include "platform/ShortcutHold.h"

#include <QObject>
#include <QString>

// The press and the release of one of Quillmark's kglobalaccel shortcuts, from the signals
// kglobalaccel sends for every component (listened to on the session bus whatever the
// component's object path). The clock is borrowed and must outlive the object. Main thread
// only.
class KGlobalAccelHold final : public QObject, public ShortcutHold {
    Q_OBJECT
public:
    KGlobalAccelHold(QString component, QString action, Clock& clock);

    bool isHeld() const override { return m_held; }
    QCoro::Task<> changed(std::chrono::milliseconds timeout) override;

private slots:
    void onPressed(const QString& component, const QString& action, qlonglong timestamp);
    void onReleased(const QString& component, const QString& action, qlonglong timestamp);

private:
    void set(const QString& component, const QString& action, bool held);

    const QString m_component;
    const QString m_action;
    Clock& m_clock;
    bool m_held = false;
    Wakeup m_wakeup;
};
