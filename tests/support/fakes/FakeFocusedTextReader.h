// SPDX-License-Identifier: MIT
#pragma once

#include "platform/FocusedTextReader.h"
#include "support/fakes/CallJournal.h"

// Answers with `selection`. Records "focusedText.read(WINDOW CLASS)", or "focusedText.read()"
// when no application was given.
class FakeFocusedTextReader final : public FocusedTextReader {
public:
    explicit FakeFocusedTextReader(CallJournal& journal)
        : m_journal(journal)
    {}

    std::optional<AccessibleSelection>
    readSelection(const std::optional<TargetApplication>& front) override
    {
        m_journal.record(
            QStringLiteral("focusedText.read(%1)")
                .arg(front ? QString::number(front->windowID) + u' ' + front->wmClass : QString()));
        if (!selection)
            return std::nullopt;
        AccessibleSelection found = source;
        found.text = *selection;
        return found;
    }

    std::optional<QString> selection;
    // Where the selection is said to live; its text is `selection`.
    AccessibleSelection source;

private:
    CallJournal& m_journal;
};
