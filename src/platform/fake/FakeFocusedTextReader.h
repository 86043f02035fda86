// SPDX-License-Identifier: MIT
#pragma once

#include "platform/fake/CaptureJournal.h"
#include "platform/ports/FocusedTextReader.h"

// Answers with `selection`. Records "focusedText.read(WINDOW CLASS)", or "focusedText.read()"
// when no application was given.
class FakeFocusedTextReader final : public FocusedTextReader {
public:
    explicit FakeFocusedTextReader(CaptureJournal& journal)
        : m_journal(journal)
    {}

    std::optional<QString> selectedText(const std::optional<TargetApplication>& front) override
    {
        m_journal.record(
            QStringLiteral("focusedText.read(%1)")
                .arg(front ? QString::number(front->windowID) + u' ' + front->wmClass : QString()));
        return selection;
    }

    std::optional<QString> selection;

private:
    CaptureJournal& m_journal;
};
