// SPDX-License-Identifier: MIT
#pragma once

#include "core/Callback.h"
#include "input/DoubleTapTrigger.h"
#include "support/fakes/CallJournal.h"

// Records "doubleTap.create", "doubleTap.apply(RAW)", "doubleTap.setSuspended(true|false)"
// and "doubleTap.noteHotkeyPress"; tap() is the user's double tap.
class FakeDoubleTapTrigger final : public DoubleTapTrigger {
public:
    explicit FakeDoubleTapTrigger(CallJournal& journal)
        : m_journal(journal)
    {
        m_journal.record(QStringLiteral("doubleTap.create"));
    }

    void apply(DoubleTapModifier modifier) override
    {
        m_journal.record(QStringLiteral("doubleTap.apply(%1)").arg(rawValue(modifier)));
        m_modifier = modifier;
    }
    void setSuspended(bool suspended) override
    {
        m_journal.record(QStringLiteral("doubleTap.setSuspended(%1)")
                             .arg(suspended ? QStringLiteral("true") : QStringLiteral("false")));
        m_suspended = suspended;
    }
    void noteHotkeyPress() override
    {
        m_journal.record(QStringLiteral("doubleTap.noteHotkeyPress"));
    }

    void tap()
    {
        if (m_modifier != DoubleTapModifier::off && !m_suspended)
            invokeIfSet(onDoubleTap);
    }
    DoubleTapModifier modifier() const { return m_modifier; }
    bool isSuspended() const { return m_suspended; }

private:
    CallJournal& m_journal;
    DoubleTapModifier m_modifier = DoubleTapModifier::off;
    bool m_suspended = false;
};
