// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ports/Pasteboard.h"

#include <QObject>

// The CLIPBOARD selection through Qt's clipboard. A snapshot keeps every data type the
// owner offers, except the X11 conversion targets that describe or operate on the
// selection itself and types that only make sense inside the process that wrote them; the
// change count counts Qt's dataChanged signals, which come for every new owner, ours
// included. Needs a QGuiApplication; main thread only.
class QtPasteboard final : public Pasteboard {
public:
    QtPasteboard();
    ~QtPasteboard() override;

    PasteboardSnapshot snapshot() override;
    void write(const PasteboardSnapshot& contents) override;
    int64_t changeCount() override { return m_changeCount; }
    std::optional<QString> readText() override;

    // Whether a type offered by the clipboard's owner can be saved and offered again.
    static bool isRestorable(const QString& type);

private:
    QObject m_context;
    int64_t m_changeCount = 0;
};
