// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AccessibilityPermission.h"
#include "support/fakes/CallJournal.h"

// Trusted, and missing what, as the test sets it. Records "accessibility.promptOncePerLaunch",
// "accessibility.promptIfNeeded" and "accessibility.openSystemSettings" into the given journal,
// or its own; calls() lists them without the prefix.
class FakeAccessibilityPermission final : public AccessibilityPermission {
public:
    explicit FakeAccessibilityPermission(CallJournal* journal = nullptr)
        : m_journal(journal ? *journal : m_own)
    {}
    explicit FakeAccessibilityPermission(CallJournal& journal)
        : FakeAccessibilityPermission(&journal)
    {}

    bool isTrusted() const override { return trusted; }
    QStringList missingRequirements() const override { return missing; }
    bool promptOncePerLaunch() override { return note(u"promptOncePerLaunch"_s); }
    bool promptIfNeeded() override { return note(u"promptIfNeeded"_s); }
    void openSystemSettings() override { note(u"openSystemSettings"_s); }

    QStringList calls() const
    {
        QStringList calls = m_journal.entriesStartingWith(u"accessibility."_s);
        for (QString& call : calls)
            call.remove(0, 14);
        return calls;
    }

    bool trusted = true;
    QStringList missing;

private:
    bool note(const QString& call)
    {
        m_journal.record(u"accessibility."_s + call);
        return trusted;
    }

    CallJournal m_own;
    CallJournal& m_journal;
};
