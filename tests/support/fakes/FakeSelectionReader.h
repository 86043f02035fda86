// SPDX-License-Identifier: MIT
#pragma once

#include "capture/SelectionReader.h"
#include "support/fakes/CallJournal.h"

// Answers every capture with `next` at once. Records "selection.capture".
class FakeSelectionReader final : public SelectionReader {
public:
    explicit FakeSelectionReader(CallJournal& journal)
        : m_journal(journal)
    {}

    QCoro::Task<std::optional<CapturedSelection>> capture() override
    {
        m_journal.record(QStringLiteral("selection.capture"));
        co_return next;
    }

    std::optional<CapturedSelection> next;

private:
    CallJournal& m_journal;
};
