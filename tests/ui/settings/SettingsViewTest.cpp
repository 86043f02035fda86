// SPDX-License-Identifier: MIT
#include "ui/settings/SettingsView.h"
#include "ai/KeychainHelper.h"
#include "settings/Preferences.h"
#include "settings/UserDefaults.h"
#include "ui/settings/AIServiceSection.h"
#include "ui/settings/PopoverSection.h"
#include "ui/settings/SettingsTestFixture.h"
#include "ui/settings/SettingsWindowController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString service = QString::fromLatin1(KeychainHelper::service);
const QString account = QString::fromLatin1(KeychainHelper::openAIAccount);

class SettingsViewTest : public SettingsTestFixture {
protected:
    SettingsView& makeView()
    {
        view = std::make_unique<SettingsView>(recordingOwner(), layout.layout, time, keyring,
                                              preferences);
        return *view;
    }

    std::unique_ptr<SettingsView> view;
};

// The AI service comes first; the keyring is read only for OpenAI and the stored key is
// never shown back; keys and tokens are stored trimmed, and a blank key deletes it.
TEST_F(SettingsViewTest, TheAIServiceFollowsTheChoiceAndStoresKeysTrimmed)
{
    EXPECT_EQ(makeView().visibleSectionTitles().value(0), QStringLiteral("AI service"));
    AIServiceSection& section = view->aiService();
    EXPECT_TRUE(keyring.calls.isEmpty()) << "the keyring is not read for the relay";
    EXPECT_FALSE(section.keyField().isVisibleTo(view.get()));

    // The old switch chooses OpenAI.
    preferences.setFlag(DefaultsKey::useOwnAPIKey, true);
    keyring.put(service, account, "sk-stored");
    view->reload();
    EXPECT_EQ(section.servicePicker().currentText(), QStringLiteral("OpenAI"));
    EXPECT_EQ(section.keyField().text(), QString());
    EXPECT_EQ(section.keyStatus(), QStringLiteral("Key in your keyring"));
    section.keyField().setText(QStringLiteral("  sk-new\n"));
    section.saveButton().click();
    EXPECT_EQ(keyring.stored(service, account), QByteArray("sk-new"));
    section.keyField().setText(QStringLiteral("   "));
    section.saveButton().click();
    EXPECT_EQ(keyring.stored(service, account), std::nullopt);
    EXPECT_EQ(section.keyStatus(), QStringLiteral("No key stored"));
    EXPECT_TRUE(log.lines().filter(QStringLiteral("sk-")).isEmpty());

    section.servicePicker().setCurrentIndex(2);
    emit section.servicePicker().activated(2);
    section.serverAddressField().setText(QStringLiteral("http://127.0.0.1:11434"));
    emit section.serverAddressField().editingFinished();
    EXPECT_EQ(preferences.aiService(),
              (AIServiceChoice{AIService::compatible, "http://127.0.0.1:11434"}));
    section.tokenField().setText(QStringLiteral("team\ntoken"));
    section.saveToken();
    EXPECT_EQ(preferences.string(DefaultsKey::proxyToken), std::nullopt);
    section.tokenField().setText(QStringLiteral(" team-token "));
    section.saveToken();
    EXPECT_EQ(preferences.string(DefaultsKey::proxyToken), QStringLiteral("team-token"));
    EXPECT_EQ(section.tokenField().text(), QString());
}

TEST_F(SettingsViewTest, ModelIsStoredAsTypedWithoutSpacesAndTabsAtItsEnds)
{
    preferences.setAIService(AIService::openAI);
    QLineEdit& field = makeView().aiService().modelField();
    const std::pair<QString, QString> rows[] = {
        {"\t gpt-4o-mini ", "gpt-4o-mini"}, {"gpt-4o\n", "gpt-4o\n"}, {"  ", ""}};
    for (const auto& [typed, stored] : rows) {
        SCOPED_TRACE(typed.toStdString());
        field.setText(typed);
        EXPECT_EQ(UserDefaults::standard().string(DefaultsKey::openAIModel), stored);
    }
}

TEST_F(SettingsViewTest, LastVisibleActionCannotBeSwitchedOff)
{
    preferences.setEnabledActions({PopoverAction::translate, PopoverAction::fixGrammar});
    PopoverSection& popover = makeView().popover();
    QCheckBox& translate = popover.toggle(PopoverAction::translate);
    EXPECT_TRUE(translate.isEnabled());
    popover.toggle(PopoverAction::fixGrammar).click();
    EXPECT_EQ(preferences.enabledActions(), std::set{PopoverAction::translate});
    EXPECT_FALSE(translate.isEnabled());
    EXPECT_TRUE(translate.isChecked());
    EXPECT_TRUE(popover.toggle(PopoverAction::fixGrammar).isEnabled());

    popover.toggle(PopoverAction::improvePrompt).click();
    EXPECT_TRUE(translate.isEnabled());
    EXPECT_EQ(preferences.activeActions(),
              QList({PopoverAction::translate, PopoverAction::improvePrompt}));
}

// A picker writes its preference at once; usage shows with grouped digits.
TEST_F(SettingsViewTest, APickerWritesItsPreferenceAtOnce)
{
    preferences.addUsage(time, 1234, 56);
    QComboBox& picker = makeView().popover().panelWidthPicker();
    EXPECT_EQ(view->usage(), QStringLiteral("1,234 in · 56 out"));
    picker.setCurrentIndex(picker.findText(QStringLiteral("Wide")));
    emit picker.activated(picker.currentIndex());
    EXPECT_EQ(preferences.panelWidth(), PanelWidth::wide);
}

// One window, shown again as it was left but read afresh. The recorder reaches the
// controller's owner, and closing the window while it records gives the shortcut back.
TEST_F(SettingsViewTest, TheWindowIsOneAndReadsTheSettingsAgainOnEveryShow)
{
    SettingsWindowController controller{doubleTap, accessibility, layout.layout,
                                        time,      keyring,       preferences};
    controller.onHotkeyChange = [this](const HotkeyShortcut& shortcut) {
        calls.append("register " + shortcut.displayString(layout.layout));
        return true;
    };
    controller.onRecordingChange = [this](bool on) { calls.append(on ? "recording" : "stopped"); };
    controller.show();
    QWidget* window = controller.window();
    ShortcutRecorderView& recorder = controller.view()->hotkey().recorder();
    QTest::mouseClick(&recorder, Qt::LeftButton);
    KeyScript::press(&recorder, KeyScript::keyK, Qt::ControlModifier | Qt::AltModifier);
    QTest::mouseClick(&recorder, Qt::LeftButton);
    window->close();
    EXPECT_EQ(calls, QStringList({"recording", "register ⌃⌥K", "stopped", "recording", "stopped"}));

    preferences.setHotkeyShortcut({17, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit});
    preferences.setDoubleTapModifier(DoubleTapModifier::shift);
    controller.show();
    EXPECT_EQ(controller.window(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(controller.view()->hotkey().recorder().displayTitle(), QStringLiteral("Ctrl+Alt+T"));
    EXPECT_EQ(controller.view()->hotkey().doubleTapModifier(), DoubleTapModifier::shift);
}

} // namespace
