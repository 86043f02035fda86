// SPDX-License-Identifier: MIT
#pragma once

#include "core/Callback.h"
#include "input/DoubleTapTrigger.h"
#include "support/fakes/CallJournal.h"

#include <QObject>

// Records "doubleTap.create", "doubleTap.apply(RAW)", "doubleTap.setSuspended(true|false)"
// and "doubleTap.noteHotkeyPress" into the given journal, or its own; tap() is the user's
// double tap. Publishes its waiting flag as the desktop's watcher does, set by the test.
class FakeDoubleTapTrigger final : public QObject, public DoubleTapTrigger {
    Q_OBJECT
    Q_PROPERTY(bool isWaitingForAccessibility READ isWaitingForAccessibility NOTIFY
                   isWaitingForAccessibilityChanged)

public:
    explicit FakeDoubleTapTrigger(CallJournal* journal = nullptr)
        : m_journal(journal ? *journal : m_own)
    {
        m_journal.record(u"doubleTap.create"_s);
    }
    explicit FakeDoubleTapTrigger(CallJournal& journal)
        : FakeDoubleTapTrigger(&journal)
    {}

    void apply(DoubleTapModifier modifier) override
    {
        m_journal.record(QStringLiteral("doubleTap.apply(%1)").arg(rawValue(modifier)));
        m_modifier = modifier;
    }
    void setSuspended(bool suspended) override
    {
        m_journal.record(suspended ? u"doubleTap.setSuspended(true)"_s
                                   : u"doubleTap.setSuspended(false)"_s);
        m_suspended = suspended;
    }
    void noteHotkeyPress() override { m_journal.record(u"doubleTap.noteHotkeyPress"_s); }

    void tap()
    {
        if (m_modifier != DoubleTapModifier::off && !m_suspended)
            invokeIfSet(onDoubleTap);
    }
    // What the trigger was asked to do after its creation, without the prefix.
    QStringList calls() const
    {
        QStringList calls = m_journal.entriesStartingWith(u"doubleTap."_s);
        calls.removeAll(u"doubleTap.create"_s);
        for (QString& call : calls)
            call.remove(0, 10);
        return calls;
    }
    bool isWaitingForAccessibility() const { return m_waiting; }
    void setWaiting(bool waiting)
    {
        m_waiting = waiting;
        emit isWaitingForAccessibilityChanged(waiting);
    }

signals:
    void isWaitingForAccessibilityChanged(bool isWaiting);

private:
    CallJournal m_own;
    CallJournal& m_journal;
    DoubleTapModifier m_modifier = DoubleTapModifier::off;
    bool m_suspended = false;
    bool m_waiting = false;
};
