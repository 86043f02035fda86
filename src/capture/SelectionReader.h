// SPDX-License-Identifier: MIT
#pragma once

#include "capture/CapturedSelection.h"

#include <optional>
#include <qcoro/qcorotask.h>

// Reads the text selected in the application in front. Main thread only; the coroutine
// suspends on the main thread while it waits.
class SelectionReader {
public:
    SelectionReader() = default;
    SelectionReader(const SelectionReader&) = delete;
    SelectionReader& operator=(const SelectionReader&) = delete;
    virtual ~SelectionReader() = default;

    // The selection with non-empty text, how it was read and the application in front;
    // absent when there is no usable selection or nothing can be read. Never fails.
    virtual QCoro::Task<std::optional<CapturedSelection>> capture() = 0;
};
