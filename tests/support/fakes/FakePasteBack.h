// SPDX-License-Identifier: MIT
#pragma once

#include "capture/PasteBack.h"
#include "support/fakes/CallJournal.h"

// Pastes at once. Records "pasteBack.paste(TEXT)" and keeps the last target.
class FakePasteBack final : public PasteBack {
public:
    explicit FakePasteBack(CallJournal& journal)
        : m_journal(journal)
    {}

    QCoro::Task<> paste(QString text, std::optional<TargetApplication> target) override
    {
        m_journal.record(QStringLiteral("pasteBack.paste(%1)").arg(text));
        lastTarget = std::move(target);
        co_return;
    }

    bool canInsert(const std::optional<TargetApplication>& /*target*/) const override
    {
        return insertable;
    }

    std::optional<TargetApplication> lastTarget;
    bool insertable = true;

private:
    CallJournal& m_journal;
};
