// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AccessibleSelection.h"

#include <QString>

// What became of a write through the accessibility service. Every outcome but `replaced`
// leaves the element's text as it was.
enum class AccessibleEdit {
    replaced,
    // The element is no longer there (its application quit or the element was destroyed).
    gone,
    // The element offers no EditableText interface.
    noEditableText,
    // The element is read-only.
    notEditable,
    // The range no longer holds the text that was selected.
    textChanged,
    // The service refused or did not answer in time.
    failed,
};

// Writes text into an element through the desktop's accessibility service, without the
// clipboard or the keyboard. Main thread only; each call blocks for a bounded time.
class AccessibleTextEditor {
public:
    AccessibleTextEditor() = default;
    AccessibleTextEditor(const AccessibleTextEditor&) = delete;
    AccessibleTextEditor& operator=(const AccessibleTextEditor&) = delete;
    virtual ~AccessibleTextEditor() = default;

    // Replaces the selection's range with `text` and leaves the caret after it, once the
    // element is found still there, editable, and the range holds exactly the selected
    // text.
    virtual AccessibleEdit replace(const AccessibleSelection& where, const QString& text) = 0;
};
