// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AccessibilityPermission.h"
#include "support/fakes/CallJournal.h"

// Trusted as the test sets it. Records "accessibility.promptOncePerLaunch",
// "accessibility.promptIfNeeded" and "accessibility.openSystemSettings".
class FakeAccessibilityPermission final : public AccessibilityPermission {
public:
    explicit FakeAccessibilityPermission(CallJournal& journal)
        : m_journal(journal)
    {}

    bool isTrusted() const override { return trusted; }
    bool promptOncePerLaunch() override
    {
        m_journal.record(QStringLiteral("accessibility.promptOncePerLaunch"));
        return trusted;
    }
    bool promptIfNeeded() override
    {
        m_journal.record(QStringLiteral("accessibility.promptIfNeeded"));
        return trusted;
    }
    void openSystemSettings() override
    {
        m_journal.record(QStringLiteral("accessibility.openSystemSettings"));
    }

    bool trusted = true;

private:
    CallJournal& m_journal;
};
