// SPDX-License-Identifier: MIT
#pragma once

#include "onboarding/ApplicationMover.h"
#include "support/fakes/CallJournal.h"

// Records "mover.offerIfRunningFromDiskImage" and "mover.ejectSourceVolumeIfAsked";
// the offer answers `takesOver`.
class FakeApplicationMover final : public ApplicationMover {
public:
    explicit FakeApplicationMover(CallJournal& journal)
        : m_journal(journal)
    {}

    bool offerIfRunningFromDiskImage() override
    {
        m_journal.record(QStringLiteral("mover.offerIfRunningFromDiskImage"));
        return takesOver;
    }
    void ejectSourceVolumeIfAsked() override
    {
        m_journal.record(QStringLiteral("mover.ejectSourceVolumeIfAsked"));
    }

    bool takesOver = false;

private:
    CallJournal& m_journal;
};
