// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AccessibleTextEditor.h"
#include "platform/FocusedTextReader.h"

using AtspiAccessible = struct _AtspiAccessible;

// Reads the selection through AT-SPI: among the accessible applications (the one whose
// process owns the window in front, when it is known) it takes the active window, finds
// its focused element and reads the first selection of that element's Text interface.
// Every reply is awaited for at most 0.3 s and the whole search gives up after 0.6 s, the
// two waits of a slow answer. Password fields are never read.
//
// It also writes a result back into the element the last selection was read from, through
// its EditableText interface: delete the range, insert the result at its start (never
// set_text_contents, whose first undo empties the document), caret after it. Main thread
// only.
class AtspiFocusedTextReader final : public FocusedTextReader, public AccessibleTextEditor {
public:
    AtspiFocusedTextReader();
    ~AtspiFocusedTextReader() override;

    std::optional<AccessibleSelection>
    readSelection(const std::optional<TargetApplication>& front) override;
    AccessibleEdit replace(const AccessibleSelection& where, const QString& result) override;

private:
    bool ready();

    bool m_tried = false;
    bool m_ready = false;
    AtspiAccessible* m_lastElement = nullptr;
};
