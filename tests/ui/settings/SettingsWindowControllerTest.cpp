// SPDX-License-Identifier: MIT
#include "ui/settings/SettingsWindowController.h"
#include "settings/Preferences.h"
#include "ui/settings/SettingsTestFixture.h"
#include "ui/settings/SettingsView.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

using namespace KeyScript;

namespace {

class SettingsWindowControllerTest : public SettingsTestFixture {
protected:
    SettingsWindowController controller{doubleTap, accessibility, layout.layout};
};

TEST_F(SettingsWindowControllerTest, ShowsOneFixedWindowCentredOnEveryShow)
{
    EXPECT_EQ(controller.window(), nullptr);
    controller.show();
    QWidget* window = controller.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quillmark Settings"));
    EXPECT_EQ(window->size(), QSize(400, 700));
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "not resizable";
    EXPECT_FALSE(window->testAttribute(Qt::WA_DeleteOnClose));
    const QPoint centred = window->pos();

    window->close();
    window->move(centred + QPoint(120, 40));
    controller.show();
    EXPECT_EQ(controller.window(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->pos(), centred);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(std::abs(window->geometry().center().x() - area.center().x()), 1);
}

TEST_F(SettingsWindowControllerTest, ForwardsTheRecorderToItsOwner)
{
    controller.show();
    SettingsView& view = *controller.view();
    // Without an owner nothing can be registered.
    EXPECT_TRUE(view.record({40, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit}));

    QStringList calls;
    controller.onHotkeyChange = [&calls, this](const HotkeyShortcut& shortcut) {
        calls.append(QStringLiteral("register ") + shortcut.displayString(layout.layout));
        return true;
    };
    controller.onRecordingChange = [&calls](bool isRecording) {
        calls.append(isRecording ? QStringLiteral("recording") : QStringLiteral("stopped"));
    };
    ShortcutRecorderView& recorder = view.hotkey().recorder();
    QTest::mouseClick(&recorder, Qt::LeftButton);
    press(&recorder, keyK, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(calls, QStringList({"recording", "register ⌃⌥K", "stopped"}));
    EXPECT_EQ(Preferences::hotkeyShortcut().label(layout.layout), QStringLiteral("Ctrl+Alt+K"));
}

TEST_F(SettingsWindowControllerTest, ClosingWhileRecordingGivesTheShortcutBackAndShowsReadAgain)
{
    QStringList calls;
    controller.onRecordingChange = [&calls](bool isRecording) {
        calls.append(isRecording ? QStringLiteral("recording") : QStringLiteral("stopped"));
    };
    controller.show();
    QTest::mouseClick(&controller.view()->hotkey().recorder(), Qt::LeftButton);
    controller.window()->close();
    EXPECT_EQ(calls, QStringList({"recording", "stopped"}));

    // Each show reads the shortcut and the modifier again.
    Preferences::setHotkeyShortcut({17, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit});
    Preferences::setDoubleTapModifier(DoubleTapModifier::shift);
    controller.show();
    HotkeySection& hotkey = controller.view()->hotkey();
    EXPECT_EQ(hotkey.recorder().displayTitle(), QStringLiteral("Ctrl+Alt+T"));
    EXPECT_EQ(hotkey.doubleTapModifier(), DoubleTapModifier::shift);
}

} // namespace
