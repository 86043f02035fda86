// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "platform/FrontmostWindows.h"
#include "support/fakes/CallJournal.h"

#include <algorithm>
#include <chrono>

// A window manager whose active window the test sets. An activation takes effect
// `activationDelay` after it was asked for, or never when that is absent. Records
// "windows.activate(WINDOW)".
class FakeFrontmostWindows final : public FrontmostWindows {
public:
    FakeFrontmostWindows(CallJournal& journal, Clock& clock)
        : m_journal(journal)
        , m_clock(clock)
    {}

    std::optional<TargetApplication> frontmost() override { return front; }

    bool isActive(const TargetApplication& application) override
    {
        const auto now = m_clock.monotonicNow();
        if (m_activating && now >= m_activatesAt) {
            activeWindow = m_activating->windowID;
            m_activating.reset();
        }
        return activeWindow != 0 && activeWindow == application.windowID;
    }

    void activate(const TargetApplication& application) override
    {
        m_journal.record(QStringLiteral("windows.activate(%1)").arg(application.windowID));
        if (!activationDelay)
            return;
        m_activating = application;
        m_activatesAt = m_clock.monotonicNow() + *activationDelay;
    }

    // Sleeps on the clock until the activation asked for takes effect, or for the whole
    // time-out.
    QCoro::Task<> activeWindowChanged(std::chrono::milliseconds timeout) override
    {
        const auto now = m_clock.monotonicNow();
        std::chrono::milliseconds wait = timeout;
        if (m_activating && m_activatesAt > now)
            wait = std::min(wait, m_activatesAt - now);
        co_await m_clock.sleep(wait);
    }

    std::optional<TargetApplication> front;
    uint32_t activeWindow = 0;
    std::optional<std::chrono::milliseconds> activationDelay = std::chrono::milliseconds(0);

private:
    CallJournal& m_journal;
    Clock& m_clock;
    std::optional<TargetApplication> m_activating;
    std::chrono::milliseconds m_activatesAt{0};
};
