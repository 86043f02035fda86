// SPDX-License-Identifier: MIT
#include "ui/tray/StatusItemController.h"
#include "settings/UserDefaults.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeAccessibilityPermission.h"
#include "updates/UpdateConfig.h"

#include <QMenu>
#include <algorithm>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class StatusItemControllerTest : public ::testing::Test {
protected:
    // Opens the menu the way the tray does (it is rebuilt just before it shows) and reads
    // it as a person does: "-" for a separator, a check mark where there is one, and
    // "(disabled)" for an item that cannot be chosen.
    QStringList open()
    {
        emit controller.menu().aboutToShow();
        QStringList items;
        for (const QAction* action : controller.menu().actions()) {
            QString item = action->isSeparator() ? QStringLiteral("-") : action->text();
            if (action->isCheckable())
                item += action->isChecked() ? " [x]" : " [ ]";
            items.append(item + (action->isEnabled() ? "" : " (disabled)"));
        }
        return items;
    }
    QAction* item(const QString& title)
    {
        open();
        const QList<QAction*> actions = controller.menu().actions();
        const auto found = std::ranges::find(actions, title, &QAction::text);
        return found == actions.end() ? nullptr : *found;
    }
    void choose(const QString& title)
    {
        QAction* action = item(title);
        ASSERT_NE(action, nullptr) << title.toStdString();
        action->trigger();
    }

    ScopedConfigHome config;
    UpdateConfig updates{UserDefaults::standard()};
    FakeClock time;
    ScopedLogCapture log;
    FakeAccessibilityPermission accessibility;
    StatusItemController controller{accessibility, time, updates,
                                    XdgAutostartEntry(QStringLiteral("/usr/bin/quillmark"))};
};

// Without an update feed the item is greyed with the reason under it; the first item asks
// for keyboard access while it is missing. No item shows a key: the menu's keys would read
// as global shortcuts.
TEST_F(StatusItemControllerTest, MenuFollowsTheKeyboardAccessAtEveryOpening)
{
    const QStringList trusted = {"About Quillmark",
                                 "Check for Updates… (disabled)",
                                 "Updates come from your package manager (disabled)",
                                 "How to Use Quillmark…",
                                 "-",
                                 "Settings…",
                                 "Launch at Login [ ]",
                                 "-",
                                 "Quit Quillmark"};
    // The offscreen platform has no tray, like a desktop without a tray host: that is said
    // once, and the icon is still there to show once a tray appears.
    EXPECT_EQ(log.lines(),
              QStringList{"info app: no system tray is running — the tray icon is not shown; the "
                          "shortcut and `quillmark trigger` still work"});
    EXPECT_TRUE(controller.trayIcon().isVisible());
    accessibility.trusted = false;
    EXPECT_EQ(open(), QStringList({"Fix Keyboard Access…", "-"}) + trusted);
    accessibility.trusted = true;
    EXPECT_EQ(open(), trusted);
    for (const QAction* action : controller.menu().actions())
        EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
}

TEST_F(StatusItemControllerTest, WithAFeedCheckForUpdatesFollowsTheUpdater)
{
    ASSERT_TRUE(UserDefaults::standard().set(QStringLiteral("updateFeedURL"),
                                             QStringLiteral("https://example.com/appcast.xml")));
    const QString check = QStringLiteral("Check for Updates…");
    EXPECT_TRUE(item(check)->isEnabled()) << "enabled without anyone to ask";
    EXPECT_FALSE(open().contains(StatusItemController::noUpdatesReason));
    bool canCheck = false;
    controller.canCheckForUpdates = [&canCheck] { return canCheck; };
    EXPECT_FALSE(item(check)->isEnabled());
    canCheck = true;
    EXPECT_TRUE(item(check)->isEnabled());

    bool asked = false;
    controller.onCheckForUpdates = [&asked] { asked = true; };
    choose(check);
    EXPECT_TRUE(asked);
    accessibility.trusted = false;
    choose(QStringLiteral("Fix Keyboard Access…"));
    EXPECT_EQ(accessibility.calls(), QStringList({"promptIfNeeded", "openSystemSettings"}));
}

// A flash during a running one keeps the earlier restore; one outliving its controller
// does nothing.
TEST_F(StatusItemControllerTest, FlashRestoresTheIconAfterTheEarliestPendingFlash)
{
    using State = StatusItemController::IconState;
    controller.flash();
    time.advance(100ms);
    controller.flash();
    time.advance(199ms);
    EXPECT_EQ(controller.iconState(), State::flashing);
    time.advance(1ms);
    EXPECT_EQ(controller.iconState(), State::normal);
    std::make_unique<StatusItemController>(accessibility, time, updates)->flash();
    time.advance(300ms);
    EXPECT_EQ(time.pendingSleeps(), 0);
}

} // namespace
