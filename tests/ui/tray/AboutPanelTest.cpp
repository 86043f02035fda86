// SPDX-License-Identifier: MIT
#include "ui/tray/AboutPanel.h"
#include "core/AppIdentity.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

TEST(AboutPanelTest, ShowsTheVersionInOneWindowAndLogsEachShowing)
{
    ScopedLogCapture log;
    AboutPanel panel;
    panel.show();
    AboutWindow* first = panel.window();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->windowTitle(), QStringLiteral("About Quillmark"));
    EXPECT_TRUE(first->texts().contains(QStringLiteral("Version ") + AppIdentity::version()));
    first->close();
    panel.show();
    EXPECT_EQ(panel.window(), first);
    EXPECT_TRUE(first->isVisible());
    const QString line =
        QStringLiteral("info app: about panel shown (version %1)").arg(AppIdentity::version());
    EXPECT_EQ(log.lines(), QStringList({line, line}));
}

} // namespace
