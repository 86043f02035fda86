// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Clipboard.h"

// No clipboard; the text is dropped.
class NullClipboard final : public Clipboard {
public:
    void writeString(const QString&) override {}
};
