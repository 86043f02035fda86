// SPDX-License-Identifier: MIT
#include "ui/tray/AboutPanel.h"
#include "core/AppIdentity.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

TEST(AboutPanelTest, ShowsTheNameVersionCreditsAndCopyright)
{
    ScopedLogCapture log;
    AboutPanel panel;
    panel.show();
    ASSERT_NE(panel.window(), nullptr);
    EXPECT_TRUE(panel.window()->isVisible());
    EXPECT_EQ(panel.window()->windowTitle(), QStringLiteral("About Quillmark"));
    EXPECT_EQ(panel.window()->texts(),
              QStringList({"Quillmark", QStringLiteral("Version ") + AppIdentity::version(),
                           "Select text anywhere. Translate, fix grammar, improve AI prompts.",
                           "Copyright © 2026 Veltra"}));
}

TEST(AboutPanelTest, ShowingTwiceLogsTwiceAndKeepsOneWindow)
{
    ScopedLogCapture log;
    AboutPanel panel;
    panel.show();
    AboutWindow* first = panel.window();
    first->close();
    panel.show();
    EXPECT_EQ(panel.window(), first);
    EXPECT_TRUE(first->isVisible());
    const QString line =
        QStringLiteral("info app: about panel shown (version %1)").arg(AppIdentity::version());
    EXPECT_EQ(log.lines(), QStringList({line, line}));
}

} // namespace
