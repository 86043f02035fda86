// SPDX-License-Identifier: MIT
#pragma once

#include "platform/PasteboardSnapshot.h"

#include <QString>
#include <chrono>
#include <cstdint>
#include <optional>
#include <qcoro/qcorotask.h>

// The desktop's clipboard with every data type it holds, as capture and paste-back save,
// replace and restore it. Main thread only.
class Pasteboard {
public:
    Pasteboard() = default;
    Pasteboard(const Pasteboard&) = delete;
    Pasteboard& operator=(const Pasteboard&) = delete;
    virtual ~Pasteboard() = default;

    // Every item with the bytes of each of its types exactly as the owner gave them,
    // leaving out types that cannot be written back and types the owner did not deliver
    // in time (never waiting more than a few hundred milliseconds, and never blocking the
    // event loop); an empty snapshot when the clipboard is empty or there is none.
    virtual QCoro::Task<PasteboardSnapshot> snapshot() = 0;
    // Clears the clipboard and puts these items on it, all at once; an empty snapshot
    // leaves it empty. Nothing when there is no clipboard.
    virtual void write(const PasteboardSnapshot& contents) = 0;
    // A number that grows whenever the clipboard gets new contents, from this process or
    // another one; it stays 0 when there is no clipboard.
    virtual int64_t changeCount() = 0;
    // Completes as soon as changeCount() differs from `seen`, or once `timeout` has passed;
    // woken by the desktop's notice of a new owner, not by looking again and again.
    virtual QCoro::Task<> waitForChange(int64_t seen, std::chrono::milliseconds timeout) = 0;
    // The plain text on the clipboard; nothing when it holds no text, there is none, or
    // its owner does not deliver it in time.
    virtual QCoro::Task<std::optional<QString>> readText() = 0;
};
