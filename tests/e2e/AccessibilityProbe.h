// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>
#include <QStringList>
#include <cstdint>
#include <optional>

// Reads one process's windows through the accessibility bus, as a screen reader does: what
// the panel says and where its controls are, so a test can check the text a person sees and
// click where a person would; and what the editor offers the capture. Only windows on screen
// are read.
class AccessibilityProbe {
public:
    explicit AccessibilityProbe(int64_t pid);

    // The names of the elements on screen and the contents of the text fields, in the
    // order of the accessibility tree.
    QStringList shownTexts() const;
    // Where the first element on screen with this accessible name is, in screen pixels.
    std::optional<QRect> extentsOf(const QString& name) const;
    // Presses the first element on screen with this accessible name through its default
    // action, as a screen reader does; false when there is none.
    bool press(const QString& name) const;
    // The selected text of the focused element, when it has one.
    std::optional<QString> focusedSelection() const;

private:
    int64_t m_pid;
};
