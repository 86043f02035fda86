// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ports/FocusedTextReader.h"

// Reads the selection through AT-SPI: among the accessible applications (the one whose
// process owns the window in front, when it is known) it takes the active window, finds
// its focused element and reads the first selection of that element's Text interface.
// Every reply is awaited for at most 0.3 s and the whole search gives up after 0.6 s, the
// two waits of a slow answer. Password fields are never read. Main thread only.
class AtspiFocusedTextReader final : public FocusedTextReader {
public:
    AtspiFocusedTextReader();
    ~AtspiFocusedTextReader() override;

    std::optional<QString> selectedText(const std::optional<TargetApplication>& front) override;

private:
    bool ready();

    bool m_tried = false;
    bool m_ready = false;
};
