// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Clipboard.h"

// The Copy command's clipboard: the CLIPBOARD selection through Qt. Needs a
// QGuiApplication; main thread only.
class QtClipboard final : public Clipboard {
public:
    void writeString(const QString& text) override;
};
