// SPDX-License-Identifier: MIT
#pragma once

#include "input/HotkeySelfTest.h"
#include "support/fakes/CallJournal.h"

// Records "hotkeySelfTest.runIfRequested" and keeps the registrar it was given.
class FakeHotkeySelfTest final : public HotkeySelfTest {
public:
    explicit FakeHotkeySelfTest(CallJournal& journal)
        : m_journal(journal)
    {}

    void runIfRequested(HotkeyRegistrar& registrar) override
    {
        m_journal.record(QStringLiteral("hotkeySelfTest.runIfRequested"));
        lastRegistrar = &registrar;
    }

    HotkeyRegistrar* lastRegistrar = nullptr;

private:
    CallJournal& m_journal;
};
