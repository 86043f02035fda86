// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AccessibleTextEditor.h"
#include "support/fakes/CallJournal.h"

// Answers with `outcome`. Records "editor.replace(START-END TEXT)".
class FakeAccessibleTextEditor final : public AccessibleTextEditor {
public:
    explicit FakeAccessibleTextEditor(CallJournal& journal)
        : m_journal(journal)
    {}

    AccessibleEdit replace(const AccessibleSelection& where, const QString& text) override
    {
        m_journal.record(QStringLiteral("editor.replace(%1-%2 %3)")
                             .arg(QString::number(where.start), QString::number(where.end), text));
        return outcome;
    }

    AccessibleEdit outcome = AccessibleEdit::replaced;

private:
    CallJournal& m_journal;
};
