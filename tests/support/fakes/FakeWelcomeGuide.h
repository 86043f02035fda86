// SPDX-License-Identifier: MIT
#pragma once

#include "onboarding/guide/WelcomeGuide.h"
#include "support/fakes/CallJournal.h"

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
