// SPDX-License-Identifier: MIT
#pragma once

#include "platform/fake/flow/CallJournal.h"
#include "platform/ports/WelcomeGuide.h"

// Records "onboarding.create", "onboarding.show" and "onboarding.showIfFirstRun".
class FakeWelcomeGuide final : public WelcomeGuide {
public:
    explicit FakeWelcomeGuide(CallJournal& journal)
        : m_journal(journal)
    {
        m_journal.record(QStringLiteral("onboarding.create"));
    }

    void show() override { m_journal.record(QStringLiteral("onboarding.show")); }
    void showIfFirstRun() override
    {
        m_journal.record(QStringLiteral("onboarding.showIfFirstRun"));
    }

private:
    CallJournal& m_journal;
};
