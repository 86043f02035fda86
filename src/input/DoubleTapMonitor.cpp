// SPDX-License-Identifier: MIT
#include "input/DoubleTapMonitor.h"

#include "core/Callback.h"
#include "core/Log.h"

#include <QPointer>

namespace {

constexpr std::chrono::seconds trustPollInterval{2};

} // namespace

DoubleTapMonitor::DoubleTapMonitor(std::unique_ptr<KeyEventSource> source,
                                   const AccessibilityPermission& permission, Clock& clock,
                                   QObject* parent)
    : QObject(parent)
    , m_source(std::move(source))
    , m_permission(permission)
    , m_clock(clock)
{}

DoubleTapMonitor::~DoubleTapMonitor()
{
    cancelTrustPoll();
    removeMonitors();
}

void DoubleTapMonitor::apply(DoubleTapModifier modifier)
{
    m_modifier = modifier;
    reinstall();
}

void DoubleTapMonitor::setSuspended(bool suspended)
{
    if (suspended == m_isSuspended)
        return;
    m_isSuspended = suspended;
    reinstall();
}

void DoubleTapMonitor::noteHotkeyPress()
{
    if (m_detector)
        m_detector->keyPressed();
}

void DoubleTapMonitor::reinstall()
{
    removeMonitors();
    cancelTrustPoll();
    setWaitingForAccessibility(false);

    if (m_modifier == DoubleTapModifier::off || m_isSuspended) {
        m_detector.reset();
        return;
    }
    m_detector.emplace(watchedFlag(m_modifier));

    if (m_permission.isTrusted()) {
        // The source holds the monitor only weakly: an event already on its way when the
        // monitor goes does nothing.
        const QPointer<DoubleTapMonitor> self(this);
        m_monitorsInstalled = m_source->start([self](const KeyEventSource::Event& event) {
            if (self)
                self->handle(event);
        });
        Log::hotkey().info(QStringLiteral("double-tap %1 armed").arg(symbol(m_modifier)));
        return;
    }
    // The detector is kept, but nothing feeds it until the grant arrives.
    setWaitingForAccessibility(true);
    Log::hotkey().info(
        QStringLiteral("double-tap %1 on, but Accessibility is not granted — waiting for the grant")
            .arg(symbol(m_modifier)));
    startTrustPoll();
}

void DoubleTapMonitor::removeMonitors()
{
    if (!m_monitorsInstalled)
        return;
    m_monitorsInstalled = false;
    m_source->stop();
}

void DoubleTapMonitor::startTrustPoll()
{
    m_trustPoll = std::make_shared<CancellationFlag>();
    pollForTrust(m_trustPoll);
}

void DoubleTapMonitor::cancelTrustPoll()
{
    if (!m_trustPoll)
        return;
    m_trustPoll->cancelled = true;
    m_trustPoll.reset();
}

QCoro::Task<> DoubleTapMonitor::pollForTrust(std::shared_ptr<CancellationFlag> cancellation)
{
    const QPointer<DoubleTapMonitor> self(this);
    while (!cancellation->cancelled) {
        co_await m_clock.sleep(trustPollInterval);
        // The sleep cannot be cut short, so a poll cancelled meanwhile (or whose monitor is
        // gone) ends here, having touched nothing.
        if (cancellation->cancelled || !self)
            co_return;
        if (m_permission.isTrusted()) {
            Log::hotkey().info(QStringLiteral("accessibility granted — arming double-tap"));
            reinstall();
            co_return;
        }
    }
}

void DoubleTapMonitor::handle(const KeyEventSource::Event& event)
{
    if (!m_detector)
        return;
    switch (event.kind) {
    case KeyEventSource::Event::Kind::flagsChanged: {
        // The time of handling, not the event's own timestamp: a desktop stamps its events
        // with a clock of its own, which the tests' clock and the detector do not share.
        const DoubleTapDetector::Timestamp now = m_clock.monotonicNow();
        if (!m_detector->flagsChanged(event.modifierFlags, now))
            return;
        Log::hotkey().info(QStringLiteral("double-tap %1 fired").arg(symbol(m_modifier)));
        invokeIfSet(onDoubleTap);
        return;
    }
    case KeyEventSource::Event::Kind::keyDown:
        m_detector->keyPressed();
        return;
    }
}

void DoubleTapMonitor::setWaitingForAccessibility(bool isWaiting)
{
    if (isWaiting == m_isWaitingForAccessibility)
        return;
    m_isWaitingForAccessibility = isWaiting;
    emit isWaitingForAccessibilityChanged(isWaiting);
}
