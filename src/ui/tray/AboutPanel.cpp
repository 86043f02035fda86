// SPDX-License-Identifier: MIT
#include "ui/tray/AboutPanel.h"

#include "core/AppIdentity.h"
#include "core/Log.h"

AboutPanel::~AboutPanel()
{
    delete m_window;
}

AboutWindow::Content AboutPanel::content()
{
    return {
        QString::fromUtf8(AppIdentity::name),
        AppIdentity::version(),
        QStringLiteral("Select text anywhere. Translate, fix grammar, improve AI prompts."),
        QStringLiteral("Copyright © 2026 Veltra"),
    };
}

void AboutPanel::show()
{
    if (!m_window)
        m_window = new AboutWindow(content());
    m_window->show();
    // Quillmark has no window of its own in front, so the window asks to be activated;
    // otherwise it could open behind the application the user is in.
    m_window->raise();
    m_window->activateWindow();
    Log::app().info(QStringLiteral("about panel shown (version %1)").arg(AppIdentity::version()));
}
