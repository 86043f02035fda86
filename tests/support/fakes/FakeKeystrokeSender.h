// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "platform/KeystrokeSender.h"
#include "support/fakes/CallJournal.h"

#include <algorithm>
#include <chrono>
#include <functional>

// A keyboard whose modifiers are held until `modifiersReleasedAt` and the shortcut's key
// until `shortcutReleasedAt` (monotonic time), and that records every chord it types:
// "keys.post(Ctrl+C)", "keys.post(Ctrl+Shift+V)". `onPost` runs after each chord, for a test that
// plays the application's answer. Where `lendable`, the keyboard is lent while the shortcut's key
// is held ("keys.lend") and taken back ("keys.reclaim").
class FakeKeystrokeSender final : public KeystrokeSender {
public:
    FakeKeystrokeSender(CallJournal& journal, Clock& clock)
        : m_journal(journal)
        , m_clock(clock)
    {}

    bool relevantModifiersHeld() override
    {
        ++modifierChecks;
        return m_clock.monotonicNow() < modifiersReleasedAt;
    }

    bool shortcutKeyHeld() override { return m_clock.monotonicNow() < shortcutReleasedAt; }

    // Sleeps on the clock until the next release, or for the whole time-out.
    QCoro::Task<> keysChanged(std::chrono::milliseconds timeout) override
    {
        const auto now = m_clock.monotonicNow();
        std::chrono::milliseconds wait = timeout;
        for (const std::chrono::milliseconds at : {modifiersReleasedAt, shortcutReleasedAt})
            if (at > now)
                wait = std::min(wait, at - now);
        co_await m_clock.sleep(wait);
    }

    bool lendKeyboard() override
    {
        if (!lendable || !shortcutKeyHeld())
            return false;
        m_journal.record(QStringLiteral("keys.lend"));
        return true;
    }
    void reclaimKeyboard() override { m_journal.record(QStringLiteral("keys.reclaim")); }

    bool post(EditCommand command, ChordStyle style) override
    {
        const QString shift = style == ChordStyle::terminal ? QStringLiteral("Shift+") : QString();
        const QString key =
            command == EditCommand::copy ? QStringLiteral("C") : QStringLiteral("V");
        m_journal.record(QStringLiteral("keys.post(Ctrl+%1%2)").arg(shift, key));
        if (onPost)
            onPost(command);
        return true;
    }

    bool canPost() const override { return typing; }

    // False for a desktop that lets nothing type.
    bool typing = true;
    bool lendable = false;
    std::chrono::milliseconds modifiersReleasedAt{0};
    std::chrono::milliseconds shortcutReleasedAt{0};
    int modifierChecks = 0;
    std::function<void(EditCommand)> onPost;

private:
    CallJournal& m_journal;
    Clock& m_clock;
};
