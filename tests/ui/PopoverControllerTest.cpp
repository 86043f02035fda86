// SPDX-License-Identifier: MIT
#include "ui/PopoverController.h"
#include "settings/Preferences.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeDesktopGeometry.h"
#include "support/fakes/FakeOutsideClickWatcher.h"
#include "support/fakes/FakePointerLocator.h"
#include "ui/PopoverPanel.h"

#include <gtest/gtest.h>

namespace {

// These tests drive the size reports by hand and never run the event loop, so the view's
// own (queued) reports stay out of them; the layout matrix covers those.
class PopoverControllerTest : public ::testing::Test {
public:
    PopoverControllerTest() { build(nullptr); }

    void build(PointerLocator* pointer)
    {
        auto watcher = std::make_unique<FakeOutsideClickWatcher>();
        auto desktop = std::make_unique<FakeDesktopGeometry>();
        m_watcher = watcher.get();
        m_desktop = desktop.get();
        m_desktop->screenAreas = {{QRect(0, 0, 1920, 1080), QRect(0, 28, 1920, 1000)}};
        m_desktop->pointer = QPoint(500, 400);
        m_controller = std::make_unique<PopoverController>(std::move(watcher), preferences,
                                                           std::move(desktop), pointer);
    }

    PopoverController& controller() { return *m_controller; }
    QRect frame() const { return m_controller->panel().frameGeometry(); }
    void report(QSizeF size) { m_controller->model().onContentSizeChange(size); }

    ScopedConfigHome m_config;
    Preferences preferences{UserDefaults::standard()};
    ScopedLogCapture m_log;
    FakePointerLocator m_locator;
    FakeOutsideClickWatcher* m_watcher = nullptr;
    FakeDesktopGeometry* m_desktop = nullptr;
    std::unique_ptr<PopoverController> m_controller;
};

TEST_F(PopoverControllerTest, FirstShowBeforeAnySizeReportIsDefaultSizedBesideThePointer)
{
    // A tiny report is not remembered.
    report(QSizeF(10, 10));
    EXPECT_EQ(controller().lastContentSize(), std::nullopt);
    controller().show(std::nullopt);

    EXPECT_EQ(frame(), QRect(508, 408, 400, 150));
}

TEST_F(PopoverControllerTest, WhereTheDesktopIsAskedThePanelOpensAtItsAnswerElseAtTheCentre)
{
    // Qt's pointer, (500, 400), is stale there and never used.
    build(&m_locator);
    const struct {
        bool answeredBeforeShow; // asked at the trigger
        std::optional<QPoint> answer;
        QRect frame; // empty: closed before the answer came, it stays closed
    } rows[] = {{true, QPoint(300, 200), {308, 208, 400, 150}},
                {false, QPoint(1800, 1000), {1516, 842, 400, 150}},
                {false, std::nullopt, {759, 452, 400, 150}},
                {false, QPoint(300, 200), {}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.frame.x());
        controller().locatePointer();
        if (row.answeredBeforeShow)
            m_locator.answer(row.answer);
        controller().show(std::nullopt);
        EXPECT_TRUE(controller().isPanelVisible());
        if (row.frame.isEmpty())
            controller().dismiss(QStringLiteral("esc"));
        m_locator.answer(row.answer);
        EXPECT_EQ(controller().panel().isVisible() ? frame() : QRect(), row.frame);
        controller().dismiss(QStringLiteral("test"));
    }
}

TEST_F(PopoverControllerTest, SizeReportsFollowTheFilterAndStayBesideThePointer)
{
    controller().show(std::nullopt);
    const struct {
        QSizeF report;
        QRect frame;
        const char* logged; // nullptr: nothing logged
    } rows[] = {
        // clang-format off
        {{50, 300}, {508, 408, 400, 150}, nullptr},
        {{300, 20}, {508, 408, 400, 150}, nullptr},
        {{51, 21}, {508, 408, 51, 21}, "info app: panel resized to 51x21"},
        {{490, 212}, {508, 408, 490, 212}, "info app: panel resized to 490x212"},
        {{490, 212}, {508, 408, 490, 212}, nullptr},
        // Wider than the room right of the panel: pushed left, 4 inside the edge.
        {{1500, 212}, {416, 408, 1500, 212}, "info app: panel resized to 1500x212"},
        // Taller than the room below: pushed up, 4 above the dock.
        {{1500, 700}, {416, 324, 1500, 700}, "info app: panel resized to 1500x700"},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.report.width() << "x" << row.report.height());
        m_log.sink.clear();
        report(row.report);
        EXPECT_EQ(frame(), row.frame);
        EXPECT_EQ(m_log.lines(),
                  row.logged ? QStringList{QString::fromUtf8(row.logged)} : QStringList{});
    }

    // Dragged elsewhere, the panel keeps its top-left corner there.
    controller().panel().move(600, 100);
    report(QSizeF(490, 300));
    EXPECT_EQ(frame(), QRect(600, 100, 490, 300));

    // A report while hidden moves nothing and sizes the next show.
    controller().dismiss(QStringLiteral("test"));
    m_log.sink.clear();
    report(QSizeF(490, 180));
    EXPECT_EQ(frame(), QRect(600, 100, 490, 300));
    EXPECT_TRUE(m_log.lines().isEmpty());
    m_desktop->pointer = QPoint(1800, 1000);
    controller().show(std::nullopt);
    EXPECT_EQ(frame(), QRect(1920 - 490 - 4, 1000 - 8 - 180, 490, 180));
}

// One listener while the panel is shown, however often it is shown; every way of closing
// removes it and logs its reason; a press on the application's own windows is no outside
// click.
TEST_F(PopoverControllerTest, EachWayOfClosingRemovesTheOneListenerAndLogsItsReason)
{
    const struct {
        const char* reason;
        std::function<void(PopoverControllerTest&)> close;
    } rows[] = {
        {"outside click", [](PopoverControllerTest& t) { ASSERT_TRUE(t.m_watcher->click()); }},
        {"esc", [](PopoverControllerTest& t) { t.controller().panel().onCancel(); }},
        {"button", [](PopoverControllerTest& t) { t.controller().model().onDismiss(); }},
        {"hotkey", [](PopoverControllerTest& t) { t.controller().dismiss("hotkey"); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        const int starts = m_watcher->starts;
        m_desktop->pointer = QPoint(500, 400);
        controller().show(std::nullopt);
        m_desktop->pointer = QPoint(700, 300);
        controller().show(std::nullopt);
        EXPECT_EQ(frame().topLeft(), QPoint(708, 308));
        EXPECT_EQ(m_watcher->starts, starts + 1);
        m_desktop->ownWindows = {frame()};
        m_desktop->pointer = frame().center();
        ASSERT_TRUE(m_watcher->click());
        EXPECT_TRUE(controller().isPanelVisible());

        m_desktop->pointer = frame().bottomRight() + QPoint(20, 20);
        m_log.sink.clear();
        row.close(*this);
        EXPECT_FALSE(controller().isPanelVisible());
        EXPECT_FALSE(m_watcher->isWatching());
        EXPECT_EQ(m_watcher->stops, m_watcher->starts);
        EXPECT_EQ(m_log.lines(), QStringList{QStringLiteral("info app: panel dismissed (%1)")
                                                 .arg(QString::fromUtf8(row.reason))});
    }
}

TEST_F(PopoverControllerTest, DesktopWithoutClickReportsStillShowsThePanel)
{
    m_watcher->available = false;
    controller().show(std::nullopt);
    EXPECT_TRUE(controller().isPanelVisible());
    EXPECT_FALSE(m_watcher->isWatching());
    EXPECT_TRUE(
        m_log.sink.contains(QStringLiteral("error app: click-outside monitor unavailable")));
    controller().show(std::nullopt);
    EXPECT_EQ(m_watcher->starts, 2);
}

} // namespace
