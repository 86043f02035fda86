// SPDX-License-Identifier: MIT
#include "ui/settings/SettingsWindowController.h"
#include "settings/Preferences.h"
#include "ui/settings/AIServiceSection.h"
#include "ui/settings/SettingsTestFixture.h"
#include "ui/settings/SettingsView.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

using namespace KeyScript;

namespace {

class SettingsWindowControllerTest : public SettingsTestFixture {
protected:
    SettingsWindowController controller{doubleTap, accessibility, layout.layout, time.clock,
                                        keyring};
};

TEST_F(SettingsWindowControllerTest, ShowsOneFixedWindowCentredOnEveryShow)
{
    EXPECT_EQ(controller.window(), nullptr);
    controller.show();
    QWidget* window = controller.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "not resizable";
    EXPECT_FALSE(window->testAttribute(Qt::WA_DeleteOnClose));
    const QPoint centred = window->pos();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(std::abs(window->geometry().center().x() - area.center().x()), 1);

    window->close();
    window->move(centred + QPoint(120, 40));
    controller.show();
    EXPECT_EQ(controller.window(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->pos(), centred);

    // From the panel it opens at the AI service, however far down it was left.
    QScrollBar* scroll = controller.view()->findChild<QScrollArea*>()->verticalScrollBar();
    scroll->setValue(scroll->maximum());
    controller.showAIService();
    EXPECT_EQ(scroll->value(), 0);
    EXPECT_EQ(window->focusWidget(),
              static_cast<QWidget*>(&controller.view()->aiService().servicePicker()));
}

// The recorder reaches the controller's owner; closing the window while it records gives the
// shortcut back, and each show reads the shortcut and the modifier again.
TEST_F(SettingsWindowControllerTest, ForwardsTheRecorderAndReadsTheSettingsAgainOnShow)
{
    controller.show();
    // Without an owner nothing can be registered.
    EXPECT_TRUE(
        controller.view()->record({40, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit}));

    QStringList calls;
    controller.onHotkeyChange = [&calls, this](const HotkeyShortcut& shortcut) {
        calls.append(QStringLiteral("register ") + shortcut.displayString(layout.layout));
        return true;
    };
    controller.onRecordingChange = [&calls](bool isRecording) {
        calls.append(isRecording ? QStringLiteral("recording") : QStringLiteral("stopped"));
    };
    ShortcutRecorderView& recorder = controller.view()->hotkey().recorder();
    QTest::mouseClick(&recorder, Qt::LeftButton);
    press(&recorder, keyK, Qt::ControlModifier | Qt::AltModifier);
    QTest::mouseClick(&recorder, Qt::LeftButton);
    controller.window()->close();
    EXPECT_EQ(calls, QStringList({"recording", "register ⌃⌥K", "stopped", "recording", "stopped"}));
    EXPECT_EQ(Preferences::hotkeyShortcut().label(layout.layout), QStringLiteral("Ctrl+Alt+K"));

    Preferences::setHotkeyShortcut({17, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit});
    Preferences::setDoubleTapModifier(DoubleTapModifier::shift);
    controller.show();
    HotkeySection& hotkey = controller.view()->hotkey();
    EXPECT_EQ(hotkey.recorder().displayTitle(), QStringLiteral("Ctrl+Alt+T"));
    EXPECT_EQ(hotkey.doubleTapModifier(), DoubleTapModifier::shift);
}

} // namespace
