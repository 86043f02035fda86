// SPDX-License-Identifier: MIT
#pragma once

#include "support/fakes/CallJournal.h"
#include "ui/settings/SettingsWindow.h"

class DoubleTapTrigger;

// Records "settings.create", "settings.show" and "settings.showAIService"; keeps the
// watcher it was given.
class FakeSettingsWindow final : public SettingsWindow {
public:
    FakeSettingsWindow(CallJournal& journal, DoubleTapTrigger& doubleTap)
        : m_journal(journal)
        , m_doubleTap(doubleTap)
    {
        m_journal.record(QStringLiteral("settings.create"));
    }

    void show() override { m_journal.record(QStringLiteral("settings.show")); }
    void showAIService() override { m_journal.record(QStringLiteral("settings.showAIService")); }

    DoubleTapTrigger& doubleTap() const { return m_doubleTap; }

private:
    CallJournal& m_journal;
    DoubleTapTrigger& m_doubleTap;
};
