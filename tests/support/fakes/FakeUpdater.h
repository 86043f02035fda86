// SPDX-License-Identifier: MIT
#pragma once

#include "support/fakes/CallJournal.h"
#include "updates/Updater.h"

// Records "updates.create", "updates.checkForUpdates" and "updates.updateNow".
class FakeUpdater final : public Updater {
public:
    explicit FakeUpdater(CallJournal& journal)
        : m_journal(journal)
    {
        m_journal.record(QStringLiteral("updates.create"));
    }

    void checkForUpdates() override { m_journal.record(QStringLiteral("updates.checkForUpdates")); }
    void updateNow() override { m_journal.record(QStringLiteral("updates.updateNow")); }
    bool canCheckForUpdates() const override { return checkPossible; }

    bool checkPossible = true;

private:
    CallJournal& m_journal;
};
