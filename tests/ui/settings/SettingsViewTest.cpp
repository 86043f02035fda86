// SPDX-License-Identifier: MIT
#include "ui/settings/SettingsView.h"
#include "ai/KeychainHelper.h"
#include "settings/Preferences.h"
#include "settings/UserDefaults.h"
#include "ui/settings/AIServiceSection.h"
#include "ui/settings/PopoverSection.h"
#include "ui/settings/SettingsTestFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace std::chrono_literals;

namespace {

const QString service = QString::fromLatin1(KeychainHelper::service);
const QString account = QString::fromLatin1(KeychainHelper::openAIAccount);

class SettingsViewTest : public SettingsTestFixture {
protected:
    SettingsView& makeView()
    {
        view = std::make_unique<SettingsView>(recordingOwner(), layout.layout, time.clock, keyring);
        return *view;
    }

    std::unique_ptr<SettingsView> view;
};

TEST_F(SettingsViewTest, TheAIServiceComesFirstAndFollowsTheChoice)
{
    const QStringList titles = {"AI service", "Hotkey", "Translation", "Panel", "Usage"};
    EXPECT_EQ(makeView().visibleSectionTitles(), titles);
    AIServiceSection& section = view->aiService();
    EXPECT_TRUE(keyring.calls.isEmpty()) << "the keyring is not read for the relay";
    EXPECT_FALSE(section.keyField().isVisibleTo(view.get()));

    // The old switch chooses OpenAI; the stored key is never shown back.
    Preferences::setFlag(DefaultsKey::useOwnAPIKey, true);
    keyring.put(service, account, "sk-stored");
    view->reload();
    EXPECT_EQ(section.servicePicker().currentText(), QStringLiteral("OpenAI"));
    EXPECT_EQ(section.keyField().text(), QString());
    EXPECT_EQ(section.keyStatus(), QStringLiteral("Key in your keyring"));

    section.servicePicker().setCurrentIndex(2);
    emit section.servicePicker().activated(2);
    section.serverAddressField().setText(QStringLiteral("http://127.0.0.1:11434"));
    emit section.serverAddressField().editingFinished();
    EXPECT_EQ(Preferences::aiService(),
              (AIServiceChoice{AIService::compatible, "http://127.0.0.1:11434"}));
    EXPECT_TRUE(section.serverAddressField().isVisibleTo(view.get()));

    section.tokenField().setText(QStringLiteral("team\ntoken"));
    section.saveToken();
    EXPECT_EQ(Preferences::string(DefaultsKey::proxyToken), std::nullopt);
    section.tokenField().setText(QStringLiteral(" team-token "));
    section.saveToken();
    EXPECT_EQ(Preferences::string(DefaultsKey::proxyToken), QStringLiteral("team-token"));
    EXPECT_EQ(section.tokenField().text(), QString());
}

TEST_F(SettingsViewTest, SavingTrimsTheKeyABlankKeyDeletesItAndSavedShowsTwoSeconds)
{
    Preferences::setAIService(AIService::openAI);
    AIServiceSection& section = makeView().aiService();
    EXPECT_EQ(section.keyStatus(), QStringLiteral("No key stored"));

    section.keyField().setText(QStringLiteral("  sk-new\n"));
    section.saveButton().click();
    EXPECT_EQ(keyring.stored(service, account), QByteArray("sk-new"));
    EXPECT_EQ(section.keyStatus(), QStringLiteral("Key in your keyring"));

    section.keyField().setText(QStringLiteral("   "));
    section.saveButton().click();
    EXPECT_EQ(keyring.stored(service, account), std::nullopt);
    EXPECT_EQ(section.keyStatus(), QStringLiteral("No key stored"));
    EXPECT_TRUE(log.lines().filter(QStringLiteral("sk-")).isEmpty());

    // "Saved" lasts two seconds from the last save.
    section.keyField().setText(QStringLiteral("sk-1"));
    section.saveKey();
    EXPECT_TRUE(section.isKeySaved());
    time.clock.advance(1500ms);
    section.saveKey();
    time.clock.advance(1999ms);
    EXPECT_TRUE(section.isKeySaved());
    time.clock.advance(1ms);
    EXPECT_FALSE(section.isKeySaved());
}

TEST_F(SettingsViewTest, ModelIsStoredAsTypedWithoutSpacesAndTabsAtItsEnds)
{
    Preferences::setAIService(AIService::openAI);
    QLineEdit& field = makeView().aiService().modelField();
    const QList<std::pair<QString, QString>> rows = {
        {"gpt-4o ", "gpt-4o"},
        {"\t gpt-4o-mini\t", "gpt-4o-mini"},
        {"gpt-4o\n", "gpt-4o\n"},
        {"my model", "my model"},
        {"  ", ""},
    };
    for (const auto& [typed, stored] : rows) {
        SCOPED_TRACE(typed.toStdString());
        field.setText(typed);
        EXPECT_EQ(UserDefaults::standard().string(DefaultsKey::openAIModel), stored);
    }
}

TEST_F(SettingsViewTest, LastVisibleActionCannotBeSwitchedOff)
{
    Preferences::setEnabledActions({PopoverAction::translate, PopoverAction::fixGrammar});
    PopoverSection& popover = makeView().popover();
    QCheckBox& translate = popover.toggle(PopoverAction::translate);
    QCheckBox& fixGrammar = popover.toggle(PopoverAction::fixGrammar);
    QCheckBox& improve = popover.toggle(PopoverAction::improvePrompt);
    EXPECT_TRUE(translate.isEnabled() && fixGrammar.isEnabled() && improve.isEnabled());

    fixGrammar.click();
    EXPECT_EQ(Preferences::enabledActions(), std::set{PopoverAction::translate});
    EXPECT_FALSE(translate.isEnabled());
    EXPECT_TRUE(translate.isChecked());
    EXPECT_TRUE(fixGrammar.isEnabled());

    improve.click();
    EXPECT_TRUE(translate.isEnabled());
    EXPECT_EQ(Preferences::activeActions(),
              QList({PopoverAction::translate, PopoverAction::improvePrompt}));
    EXPECT_TRUE(view->visibility(PopoverAction::improvePrompt));
}

TEST_F(SettingsViewTest, EveryPickerWritesItsPreferenceAtOnce)
{
    SettingsView& settings = makeView();
    const auto choose = [](QComboBox& box, const QString& text) {
        const int index = box.findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        box.setCurrentIndex(index);
        emit box.activated(index);
    };
    choose(settings.languagePicker(), QStringLiteral("German"));
    choose(settings.popover().layoutPicker(), QStringLiteral("List"));
    choose(settings.popover().inputHeightPicker(), QStringLiteral("Large"));
    choose(settings.popover().textSizePicker(), QStringLiteral("Small"));
    choose(settings.popover().panelWidthPicker(), QStringLiteral("Wide"));
    EXPECT_EQ(Preferences::targetLanguageID(), QStringLiteral("de"));
    EXPECT_EQ(Preferences::popoverLayout(), PopoverLayout::list);
    EXPECT_EQ(Preferences::inputHeight(), InputHeight::large);
    EXPECT_EQ(Preferences::inputTextSize(), InputTextSize::small);
    EXPECT_EQ(Preferences::panelWidth(), PanelWidth::wide);
}

TEST_F(SettingsViewTest, UsageIsShownWithGroupedDigits)
{
    Preferences::addUsage(time.clock, 1234, 56);
    EXPECT_EQ(makeView().usage(), QStringLiteral("1,234 in · 56 out"));
    Preferences::addUsage(time.clock, 1000000, 0);
    view->reload();
    EXPECT_EQ(view->usage(), QStringLiteral("1,001,234 in · 56 out"));
}

} // namespace
