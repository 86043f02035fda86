// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AccessibleTextEditor.h"
#include "support/fakes/CaptureJournal.h"

// Answers with `outcome`. Records "editor.replace(START-END TEXT)".
class FakeAccessibleTextEditor final : public AccessibleTextEditor {
public:
    explicit FakeAccessibleTextEditor(CaptureJournal& journal)
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
    CaptureJournal& m_journal;
};
