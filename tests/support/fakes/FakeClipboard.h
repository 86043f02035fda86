// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Clipboard.h"
#include "support/fakes/CallJournal.h"

// A clipboard in memory. Records "clipboard.writeString(TEXT)".
class FakeClipboard final : public Clipboard {
public:
    explicit FakeClipboard(CallJournal& journal)
        : m_journal(journal)
    {}

    void writeString(const QString& text) override
    {
        m_journal.record(QStringLiteral("clipboard.writeString(%1)").arg(text));
    }

private:
    CallJournal& m_journal;
};
