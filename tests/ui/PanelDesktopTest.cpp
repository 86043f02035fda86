// SPDX-License-Identifier: MIT
// The panel on a real X desktop (Xvfb with openbox), in front of a real GTK editor.
#include "platform/x11/XInputOutsideClickWatcher.h"
#include "support/DesktopTools.h"
#include "support/Mousepad.h"
#include "support/TestEnvironment.h"
#include "ui/PopoverController.h"
#include "ui/PopoverEditor.h"
#include "ui/PopoverPanel.h"
#include "ui/PopoverView.h"

#include <QCursor>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

// Puts the pointer at the point and waits until the X server has it there (no --sync:
// xdotool would wait forever for a motion when the pointer is already there).
[[nodiscard]] bool movePointer(QPoint point)
{
    // Run without the event loop, so that nothing the panel has queued happens meanwhile.
    return QProcess::execute(QStringLiteral("xdotool"),
                             {QStringLiteral("mousemove"), QString::number(point.x()),
                              QString::number(point.y())}) == 0 &&
           waitUntil([point] { return QCursor::pos() == point; });
}

[[nodiscard]] bool click(int button)
{
    return xdotool({QStringLiteral("click"), QString::number(button)});
}

QString xdotoolOutput(const QStringList& arguments)
{
    return QString::fromUtf8(runTool(QStringLiteral("xdotool"), arguments).output).trimmed();
}

quint64 activeWindow()
{
    return xdotoolOutput({QStringLiteral("getactivewindow")}).toULongLong();
}

// A window's frame as the X server has it.
QRect windowGeometry(quint64 window)
{
    const QStringList lines = xdotoolOutput({QStringLiteral("getwindowgeometry"),
                                             QStringLiteral("--shell"), QString::number(window)})
                                  .split(u'\n');
    const auto value = [&](const QString& name) {
        return lines.filter(QRegularExpression(u'^' + name + u'='))
            .value(0)
            .section(u'=', 1)
            .toInt();
    };
    return QRect(value(QStringLiteral("X")), value(QStringLiteral("Y")),
                 value(QStringLiteral("WIDTH")), value(QStringLiteral("HEIGHT")));
}

class PanelOnTheDesktop : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            return;
        s_mousepad = new Mousepad;
        if (s_mousepad->start(QString()))
            s_window =
                visibleWindowsOf(s_mousepad->pid()).value(0).section(u' ', 0, 0).toULongLong();
    }
    static void TearDownTestSuite()
    {
        delete s_mousepad;
        s_mousepad = nullptr;
    }

    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X display (run under scripts/test-session --x11)";
        ASSERT_NE(s_window, 0u) << "mousepad did not start";
        const QString id = QString::number(s_window);
        ASSERT_TRUE(xdotool({QStringLiteral("windowsize"), QStringLiteral("--sync"), id,
                             QStringLiteral("700"), QStringLiteral("500")}));
        ASSERT_TRUE(xdotool({QStringLiteral("windowmove"), QStringLiteral("--sync"), id,
                             QStringLiteral("0"), QStringLiteral("0")}));
        ASSERT_TRUE(s_mousepad->activate());
        m_controller =
            std::make_unique<PopoverController>(std::make_unique<XInputOutsideClickWatcher>());
        m_controller->model().setEditableOriginal(QStringLiteral("Their going to the park."));
        m_controller->model().setState(PopoverState::ready(CaptureMethod::ax));
    }

    void TearDown() override
    {
        if (m_controller)
            m_controller->dismiss(QStringLiteral("test over"));
    }

    // Shows the panel at the pointer placed at `pointer`, and waits until it is on screen
    // at the size its view reports.
    void showAt(QPoint pointer)
    {
        ASSERT_TRUE(movePointer(pointer));
        m_controller->show(std::nullopt);
        PopoverPanel& panel = m_controller->panel();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.windowHandle()));
        ASSERT_TRUE(waitUntil([&] { return panel.size() == m_controller->view().measuredSize(); }));
    }

    // The panel's frame as the X server has it, once the window manager has agreed.
    QRect serverFrame(QRect expected)
    {
        const quint64 window = m_controller->panel().winId();
        (void)waitUntil([&] { return windowGeometry(window) == expected; });
        return windowGeometry(window);
    }

    static inline Mousepad* s_mousepad = nullptr;
    static inline quint64 s_window = 0;
    ScopedConfigHome m_config;
    ScopedLogCapture m_log;
    std::unique_ptr<PopoverController> m_controller;
};

TEST_F(PanelOnTheDesktop, OpensAtThePointerWithoutTakingTheKeyboard)
{
    showAt(QPoint(200, 150));
    const QSize size = m_controller->view().measuredSize();

    EXPECT_EQ(serverFrame(QRect(QPoint(208, 158), size)), QRect(QPoint(208, 158), size));
    EXPECT_EQ(activeWindow(), s_window);
    EXPECT_EQ(QGuiApplication::focusWindow(), nullptr);
    // Shown at the default size, then grown to the size the view measured.
    EXPECT_EQ(
        m_log.lines().filter(QStringLiteral("panel ")),
        QStringList({QStringLiteral("info app: panel shown frame (208, 158) 400x150"),
                     QStringLiteral("info app: panel resized to %1x%2")
                         .arg(QString::number(size.width()), QString::number(size.height()))}));
}

TEST_F(PanelOnTheDesktop, NearTheRightAndBottomEdgesOpensAboveThePointerInside)
{
    // Once the view has reported its size, a show places the panel at that size.
    showAt(QPoint(100, 100));
    m_controller->dismiss(QStringLiteral("moving on"));
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    showAt(available.bottomRight() - QPoint(5, 5));
    const QSize size = m_controller->view().measuredSize();
    // 8 above the pointer, which is 5 above the bottom.
    const QPoint expected(available.x() + available.width() - size.width() - 4,
                          available.bottom() - 5 - 8 - size.height());

    EXPECT_EQ(serverFrame(QRect(expected, size)), QRect(expected, size));
    EXPECT_EQ(activeWindow(), s_window);
}

TEST_F(PanelOnTheDesktop, TakesTheKeyboardForItsEditorAndClosesOnEscape)
{
    showAt(QPoint(300, 100));
    PopoverPanel& panel = m_controller->panel();
    QTextEdit& edit = m_controller->view().editor().textEdit();
    const QPoint inEditor = edit.mapToGlobal(edit.rect().center());
    ASSERT_TRUE(movePointer(inEditor));
    ASSERT_TRUE(click(1));

    // A press inside the panel is no outside click: the panel stays and takes the keyboard.
    ASSERT_TRUE(waitUntil([&] { return panel.isActiveWindow(); }));
    EXPECT_TRUE(panel.isVisible());
    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("End")}));
    ASSERT_TRUE(xdotool({QStringLiteral("type"), QStringLiteral("!!")}));
    ASSERT_TRUE(waitUntil(
        [&] { return m_controller->model().editableOriginal().endsWith(QStringLiteral("!!")); }));

    ASSERT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("Escape")}));
    ASSERT_TRUE(waitUntil([&] { return !panel.isVisible(); }));
    EXPECT_EQ(m_log.lines().filter(QStringLiteral("panel dismissed")),
              QStringList{QStringLiteral("info app: panel dismissed (esc)")});
}

TEST_F(PanelOnTheDesktop, LeftOrRightClickInAnotherApplicationCloses)
{
    for (int button : {1, 3}) {
        SCOPED_TRACE(::testing::Message() << "button " << button);
        m_log.sink.clear();
        showAt(QPoint(400, 250));
        ASSERT_TRUE(movePointer(QPoint(100, 100)));
        ASSERT_TRUE(click(button));

        ASSERT_TRUE(waitUntil([&] { return !m_controller->isPanelVisible(); }));
        EXPECT_EQ(m_log.lines().filter(QStringLiteral("panel dismissed")),
                  QStringList{QStringLiteral("info app: panel dismissed (outside click)")});
        // The click went to mousepad, which keeps the keyboard.
        EXPECT_EQ(activeWindow(), s_window);
    }
    // Close the context menu the right click opened in mousepad.
    (void)xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
}

TEST(XInputOutsideClickWatcher, ReportsLeftAndRightPressesUntilStopped)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display (run under scripts/test-session --x11)";
    // Something harmless to click on: a plain window of this process.
    QWidget target;
    target.setGeometry(600, 400, 200, 150);
    target.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&target));
    const QPoint inside = target.mapToGlobal(target.rect().center());
    ASSERT_TRUE(movePointer(inside));

    XInputOutsideClickWatcher watcher;
    int presses = 0;
    ASSERT_TRUE(watcher.start([&] { ++presses; }));
    EXPECT_TRUE(watcher.isWatching());
    ASSERT_TRUE(click(1));
    EXPECT_TRUE(waitUntil([&] { return presses == 1; }));

    watcher.stop();
    EXPECT_FALSE(watcher.isWatching());
    ASSERT_TRUE(watcher.start([&] { presses += 10; }));
    ASSERT_TRUE(click(3));
    EXPECT_TRUE(waitUntil([&] { return presses == 11; }));
    watcher.stop();
}

} // namespace
