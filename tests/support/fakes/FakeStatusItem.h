// SPDX-License-Identifier: MIT
#pragma once

#include "support/fakes/CallJournal.h"
#include "ui/tray/StatusItem.h"

// Records "statusItem.create" and "statusItem.flash".
class FakeStatusItem final : public StatusItem {
public:
    explicit FakeStatusItem(CallJournal& journal)
        : m_journal(journal)
    {
        m_journal.record(QStringLiteral("statusItem.create"));
    }

    void flash() override { m_journal.record(QStringLiteral("statusItem.flash")); }

private:
    CallJournal& m_journal;
};
