// SPDX-License-Identifier: MIT
#pragma once

#include "core/Callback.h"
#include "core/PopoverModel.h"
#include "support/fakes/CallJournal.h"
#include "ui/PopoverPresenter.h"

// A panel that is only a visibility flag. Records "popover.create", "popover.show" and
// "popover.dismiss(REASON)", and raises the callbacks as the real panel does.
class FakePopoverPresenter final : public PopoverPresenter {
public:
    explicit FakePopoverPresenter(CallJournal& journal)
        : m_journal(journal)
    {
        m_journal.record(QStringLiteral("popover.create"));
    }

    PopoverModel& model() override { return m_model; }
    bool isPanelVisible() const override { return m_visible; }
    void show(std::optional<QPoint>) override
    {
        m_journal.record(QStringLiteral("popover.show"));
        m_visible = true;
        invokeIfSet(onDidShow);
    }
    void dismiss(const QString& reason) override
    {
        m_journal.record(QStringLiteral("popover.dismiss(%1)").arg(reason));
        m_visible = false;
        invokeIfSet(onDidDismiss);
    }

    // Hides the panel without a dismissal, as when the window system takes it away.
    void setVisible(bool visible) { m_visible = visible; }

private:
    CallJournal& m_journal;
    PopoverModel m_model;
    bool m_visible = false;
};
