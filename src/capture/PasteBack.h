// SPDX-License-Identifier: MIT
#pragma once

#include "platform/TargetApplication.h"

#include <QString>
#include <optional>
#include <qcoro/qcorotask.h>

// Pastes a result over the original selection, or leaves it on the clipboard. Main thread
// only; the coroutine suspends on the main thread while it waits.
class PasteBack {
public:
    PasteBack() = default;
    PasteBack(const PasteBack&) = delete;
    PasteBack& operator=(const PasteBack&) = delete;
    virtual ~PasteBack() = default;

    // Brings the target back to the front (when given), pastes the text through the
    // clipboard and then restores the clipboard. Reports nothing: a paste that cannot be
    // made is logged and the text is simply not inserted.
    virtual QCoro::Task<> paste(QString text, std::optional<TargetApplication> target) = 0;
    // Puts the text on the clipboard as the user's own copy, which clipboard managers keep.
    virtual void copy(const QString& text) = 0;
    // Whether a paste into this target can insert anything: false where the desktop lets
    // nothing type keys and the element cannot take the text directly. Replace then leaves
    // the result on the clipboard for the user to paste.
    virtual bool canInsert(const std::optional<TargetApplication>& /*target*/) const
    {
        return true;
    }
};
