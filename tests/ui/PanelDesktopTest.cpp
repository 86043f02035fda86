// SPDX-License-Identifier: MIT
// The panel on a real X desktop (Xvfb with openbox), in front of a real GTK editor, with the
// real click watcher.
#include "platform/x11/XInputOutsideClickWatcher.h"
#include "settings/Preferences.h"
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
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>
#include <utility>

namespace {

// Runs xdotool without the event loop, so that nothing the panel has queued happens meanwhile.
QString xdotoolOutput(const QStringList& arguments)
{
    return QString::fromUtf8(runTool(QStringLiteral("xdotool"), arguments).output).trimmed();
}

// Puts the pointer there and waits until the X server has it there (no --sync: xdotool
// would wait forever for a motion when the pointer is already there).
[[nodiscard]] bool movePointer(QPoint point)
{
    return QProcess::execute("xdotool", {"mousemove", QString::number(point.x()),
                                         QString::number(point.y())}) == 0 &&
           waitUntil([point] { return QCursor::pos() == point; });
}

class PanelOnTheDesktop : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            return;
        s_mousepad = new Mousepad;
        if (s_mousepad->start(QString()))
            s_window = visibleWindowsOf(s_mousepad->pid()).value(0).section(u' ', 0, 0);
    }
    static void TearDownTestSuite() { delete std::exchange(s_mousepad, nullptr); }

    // Mousepad, 700x500 at the top left, has the keyboard.
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X display (run under scripts/test-session --x11)";
        ASSERT_FALSE(s_window.isEmpty()) << "mousepad did not start";
        ASSERT_TRUE(xdotool({"windowsize", "--sync", s_window, "700", "500"}));
        ASSERT_TRUE(xdotool({"windowmove", "--sync", s_window, "0", "0"}));
        ASSERT_TRUE(s_mousepad->activate());
        m_controller = std::make_unique<PopoverController>(
            std::make_unique<XInputOutsideClickWatcher>(m_x11), m_preferences);
        m_controller->model().setEditableOriginal(QStringLiteral("Their going to the park."));
        m_controller->model().setState(PopoverState::ready(CaptureMethod::ax));
    }
    void TearDown() override
    {
        if (m_controller)
            m_controller->dismiss(QStringLiteral("test over"));
    }

    // Shows the panel at the pointer placed there, and waits until it is on screen at the
    // size its view reports.
    void showAt(QPoint pointer)
    {
        ASSERT_TRUE(movePointer(pointer));
        m_controller->show(std::nullopt);
        PopoverPanel& panel = m_controller->panel();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.windowHandle()));
        ASSERT_TRUE(waitUntil([&] { return panel.size() == m_controller->view().measuredSize(); }));
    }
    QStringList dismissals() const { return m_log.lines().filter("panel dismissed"); }

    static inline Mousepad* s_mousepad = nullptr;
    static inline QString s_window;
    ScopedConfigHome m_config;
    Preferences m_preferences{UserDefaults::standard()};
    X11Connection m_x11;
    ScopedLogCapture m_log;
    std::unique_ptr<PopoverController> m_controller;
};

// The window manager leaves the panel where it was put, and the keyboard where it was.
TEST_F(PanelOnTheDesktop, OpensAtThePointerWithoutTakingTheKeyboard)
{
    showAt(QPoint(200, 150));
    const QString window = QString::number(m_controller->panel().winId());
    const QString expected = QStringLiteral("X=208 Y=158 WIDTH=%1 HEIGHT=%2")
                                 .arg(m_controller->view().measuredSize().width())
                                 .arg(m_controller->view().measuredSize().height());
    const auto geometry = [&] {
        return xdotoolOutput({"getwindowgeometry", "--shell", window})
            .split(u'\n')
            .filter(QRegularExpression("^(X|Y|WIDTH|HEIGHT)="))
            .join(u' ');
    };
    (void)waitUntil([&] { return geometry() == expected; });
    EXPECT_EQ(geometry(), expected);
    EXPECT_EQ(xdotoolOutput({"getactivewindow"}), s_window);
    EXPECT_EQ(QGuiApplication::focusWindow(), nullptr);
}

// A press inside the panel is no outside click: the panel stays and takes the keyboard.
TEST_F(PanelOnTheDesktop, TakesTheKeyboardForItsEditorAndClosesOnEscape)
{
    showAt(QPoint(300, 100));
    PopoverPanel& panel = m_controller->panel();
    QTextEdit& edit = m_controller->view().editor().textEdit();
    ASSERT_TRUE(movePointer(edit.mapToGlobal(edit.rect().center())));
    ASSERT_TRUE(xdotool({"click", "1"}));
    ASSERT_TRUE(waitUntil([&] { return panel.isActiveWindow(); }));
    EXPECT_TRUE(panel.isVisible());
    ASSERT_TRUE(xdotool({"key", "End"}));
    ASSERT_TRUE(xdotool({"type", "!!"}));
    ASSERT_TRUE(waitUntil([&] { return m_controller->model().editableOriginal().endsWith("!!"); }));

    ASSERT_TRUE(xdotool({"key", "Escape"}));
    ASSERT_TRUE(waitUntil([&] { return !panel.isVisible(); }));
    EXPECT_EQ(dismissals(), QStringList{"info app: panel dismissed (esc)"});
}

// The watcher is started anew for each showing and sees both buttons, which reach the other
// application.
TEST_F(PanelOnTheDesktop, LeftOrRightClickInAnotherApplicationCloses)
{
    for (const char* button : {"1", "3"}) {
        SCOPED_TRACE(button);
        m_log.sink.clear();
        showAt(QPoint(400, 250));
        ASSERT_TRUE(movePointer(QPoint(100, 100)));
        ASSERT_TRUE(xdotool({"click", button}));
        ASSERT_TRUE(waitUntil([&] { return !m_controller->isPanelVisible(); }));
        EXPECT_EQ(dismissals(), QStringList{"info app: panel dismissed (outside click)"});
        EXPECT_EQ(xdotoolOutput({"getactivewindow"}), s_window);
        // Close the context menu a right click opens in mousepad.
        (void)xdotool({"key", "Escape"});
    }
}

} // namespace
