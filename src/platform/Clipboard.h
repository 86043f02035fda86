// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The desktop's clipboard, as the Copy command uses it. Main thread only.
class Clipboard {
public:
    Clipboard() = default;
    Clipboard(const Clipboard&) = delete;
    Clipboard& operator=(const Clipboard&) = delete;
    virtual ~Clipboard() = default;

    // Replaces the clipboard's contents with this plain text; nothing when there is no
    // clipboard.
    virtual void writeString(const QString& text) = 0;
};
