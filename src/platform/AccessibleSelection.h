// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Where a selection read through the accessibility service lives: the element that held
// it (the application's bus name and the element's object path), the selected range in
// that element's own character offsets, and facts about the element that decide how it
// can be written back.
struct AccessibleSelection {
    QString busName;
    QString path;
    int start = 0;
    int end = 0;
    // The selected text, exactly as read.
    QString text;
    // As the element reports it: "GTK", "Qt", "Gecko", "Chromium", …
    QString toolkit;
    bool singleLine = false;

    bool operator==(const AccessibleSelection&) const = default;
};
