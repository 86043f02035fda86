// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "input/DoubleTapDetector.h"
#include "input/DoubleTapTrigger.h"
#include "platform/AccessibilityPermission.h"
#include "platform/KeyEventSource.h"

#include <QObject>
#include <memory>
#include <optional>
#include <qcoro/qcorotask.h>

// Feeds the desktop's key events to a double-tap detector for the chosen modifier and calls
// onDoubleTap when it fires. Watching other applications' keys needs the accessibility
// permission; without it the monitor waits, checking every 2 seconds, and arms itself once
// the permission is there.
//
//   off        no modifier chosen                      nothing installed, no detector
//   suspended  a modifier, suspended while recording   nothing installed, no detector
//   waiting    a modifier, permission missing          detector, no events; poll every 2 s
//   armed      a modifier, permission granted          detector fed by the key-event source
//
// apply(), a real change of setSuspended() and the grant seen by the poll all re-arm from
// nothing, so a half-seen tap never survives a change. Main thread only; onDoubleTap is
// called on the main thread and may re-arm the monitor (apply, setSuspended) but must not
// destroy it.
class DoubleTapMonitor final : public QObject, public DoubleTapTrigger {
    Q_OBJECT
    // True while a modifier is chosen but the permission is missing; the settings window and
    // the welcome guide show a hint meanwhile.
    Q_PROPERTY(bool isWaitingForAccessibility READ isWaitingForAccessibility NOTIFY
                   isWaitingForAccessibilityChanged)

public:
    // The permission and the clock are borrowed and must outlive the monitor.
    DoubleTapMonitor(std::unique_ptr<KeyEventSource> source,
                     const AccessibilityPermission& permission, Clock& clock,
                     QObject* parent = nullptr);
    ~DoubleTapMonitor() override;

    void apply(DoubleTapModifier modifier) override;
    void setSuspended(bool suspended) override;
    void noteHotkeyPress() override;

    bool isWaitingForAccessibility() const { return m_isWaitingForAccessibility; }
    DoubleTapModifier modifier() const { return m_modifier; }
    bool isSuspended() const { return m_isSuspended; }

signals:
    void isWaitingForAccessibilityChanged(bool isWaiting);

private:
    // A task cannot be cancelled from outside, so the poll checks this after each sleep.
    struct CancellationFlag {
        bool cancelled = false;
    };

    void reinstall();
    void removeMonitors();
    void startTrustPoll();
    void cancelTrustPoll();
    QCoro::Task<> pollForTrust(std::shared_ptr<CancellationFlag> cancellation);
    void handle(const KeyEventSource::Event& event);
    void setWaitingForAccessibility(bool isWaiting);

    std::unique_ptr<KeyEventSource> m_source;
    const AccessibilityPermission& m_permission;
    Clock& m_clock;
    bool m_isWaitingForAccessibility = false;
    DoubleTapModifier m_modifier = DoubleTapModifier::off;
    std::optional<DoubleTapDetector> m_detector;
    // Whether the source was started and must be stopped on the next re-arm.
    bool m_monitorsInstalled = false;
    std::shared_ptr<CancellationFlag> m_trustPoll;
    bool m_isSuspended = false;
};
