// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AccessibleSelection.h"
#include "platform/TargetApplication.h"

#include <QString>
#include <optional>

// Reads the selected text of the element that has the keyboard focus, through the
// desktop's accessibility service. Main thread only; each call blocks for a bounded time
// (the service's replies are awaited for at most 0.3 s each).
class FocusedTextReader {
public:
    FocusedTextReader() = default;
    FocusedTextReader(const FocusedTextReader&) = delete;
    FocusedTextReader& operator=(const FocusedTextReader&) = delete;
    virtual ~FocusedTextReader() = default;

    // The selected text of the focused element in the given application's active window
    // (any application's when absent), exactly as the application reports it, an empty
    // selection as an empty text. Nothing when there is no accessibility service, no
    // focused element, the element has no text or no selection, it is a password field, or
    // the service did not answer in time.
    std::optional<QString> selectedText(const std::optional<TargetApplication>& front)
    {
        const std::optional<AccessibleSelection> found = readSelection(front);
        return found ? std::optional<QString>(found->text) : std::nullopt;
    }

    // The same, with where the selection lives: the element, the range, the toolkit.
    virtual std::optional<AccessibleSelection>
    readSelection(const std::optional<TargetApplication>& front) = 0;
};
