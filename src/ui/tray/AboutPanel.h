// SPDX-License-Identifier: MIT
#pragma once

#include "ui/tray/AboutWindow.h"

#include <QPointer>

// Shows the About window from the tray menu. There is one window: showing it again
// brings the same window to the front. It never blocks, so a test can look at it.
// Main thread only.
class AboutPanel {
public:
    AboutPanel() = default;
    ~AboutPanel();
    AboutPanel(const AboutPanel&) = delete;
    AboutPanel& operator=(const AboutPanel&) = delete;

    // What the window shows: "Quillmark", the version, the credits line and the copyright.
    static AboutWindow::Content content();

    // Opens the window (or raises it) and logs "about panel shown (version …)".
    void show();

    // The window once shown; null before.
    AboutWindow* window() const { return m_window; }

private:
    QPointer<AboutWindow> m_window;
};
