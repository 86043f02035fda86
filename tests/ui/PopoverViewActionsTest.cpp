// SPDX-License-Identifier: MIT
#include "ViewProbe.h"
#include "ViewTestFixture.h"
#include "settings/UserDefaults.h"
#include "ui/PopoverEditor.h"
#include "ui/SplitChip.h"
#include "ui/SplitRow.h"

#include <QTextEdit>

using namespace ViewProbe;

namespace {

class PopoverViewActions : public ::testing::Test, protected ViewTestFixture {
protected:
    PopoverViewActions()
    {
        model.onAction = [this](const TextAction& action) { actions.append(action.logName()); };
        const auto note = [this](const char* call) {
            return [this, call] { calls.append(QString::fromUtf8(call)); };
        };
        model.onReplace = note("replace");
        model.onCopy = note("copy");
        model.onBack = note("back");
        model.onRetry = note("retry");
        model.onUpdate = note("update");
        model.onOpenSettings = note("settings");
        model.onOpenAccessibilitySettings = note("accessibility");
    }

    QStringList actions;
    QStringList calls;
};

TEST_F(PopoverViewActions, ChipsRunTheirActionsAndOnlyTheFirstIsAccented)
{
    setPreferences(PopoverLayout::chips);
    model.setState(PopoverState::ready(CaptureMethod::ax));
    PopoverView& view = makeView();

    const QList<ChipButton*> buttons = chips(view.content());
    ASSERT_EQ(titles(buttons), QStringList({"Translate", "Fix Grammar", "Improve AI Prompt"}));
    EXPECT_EQ(tooltips(buttons),
              QStringList({"Translate to English (Alt+1) — the globe changes the language",
                           "Fix grammar (Alt+2); the ⌄ fixes it in a tone",
                           "Rewrite this draft into a better prompt for an AI (Alt+3)"}));
    EXPECT_EQ(buttons[0]->tone(), ChipTone::accent);
    EXPECT_EQ(buttons[1]->tone(), ChipTone::plain);
    EXPECT_EQ(buttons[2]->tone(), ChipTone::plain);
    for (ChipButton* button : buttons)
        button->click();
    EXPECT_EQ(actions, QStringList({"translate", "fixGrammar", "improvePrompt"}));

    LanguageMenuButton* language = languageMenu(view.content());
    ASSERT_NE(language, nullptr);
    EXPECT_EQ(language->toolTip(), QStringLiteral("Translation language: English"));
    EXPECT_EQ(texts(view.content()).last(), "Alt+1 to Alt+3 press these buttons · Esc closes");
}

TEST_F(PopoverViewActions, ListRowsShowTheirKeysAndLineUpWithTheSplitRow)
{
    setPreferences(PopoverLayout::list);
    model.setState(PopoverState::ready(CaptureMethod::ax));
    PopoverView& view = makeView();

    const QList<ActionRow*> list = rows(view.content());
    ASSERT_EQ(list.size(), 3);
    const struct {
        const char* title;
        const char* shortcut;
        bool accent;
        bool gutter;
    } expected[] = {
        {"Translate to English", "Alt+1", true, true},
        {"Fix Grammar", "Alt+2", false, false},
        {"Improve AI Prompt", "Alt+3", false, true},
    };
    for (int index = 0; index < 3; ++index) {
        SCOPED_TRACE(expected[index].title);
        const ActionRow::Look& look = list[index]->look();
        EXPECT_EQ(look.title, QString::fromUtf8(expected[index].title));
        EXPECT_EQ(look.shortcut, QString::fromUtf8(expected[index].shortcut));
        EXPECT_EQ(look.accent, expected[index].accent);
        EXPECT_EQ(look.menuGutter, expected[index].gutter);
        list[index]->click();
    }
    EXPECT_EQ(actions, QStringList({"translate", "fixGrammar", "improvePrompt"}));
    EXPECT_NE(languageMenu(view.content()), nullptr);
}

TEST_F(PopoverViewActions, SingleActionIsNumberOneAndAccentedWithoutLanguageMenu)
{
    for (PopoverLayout layout : {PopoverLayout::chips, PopoverLayout::list}) {
        SCOPED_TRACE(rawValue(layout).toStdString());
        setPreferences(layout, PanelWidth::narrow, {PopoverAction::improvePrompt});
        model.setState(PopoverState::ready(CaptureMethod::ax));
        PopoverView& view = makeView();
        EXPECT_EQ(languageMenu(view.content()), nullptr);
        EXPECT_EQ(reports.last().width(), 420);
        if (layout == PopoverLayout::chips) {
            const QList<ChipButton*> buttons = chips(view.content());
            ASSERT_EQ(buttons.size(), 1);
            EXPECT_EQ(buttons[0]->tone(), ChipTone::accent);
            EXPECT_EQ(buttons[0]->toolTip(),
                      QStringLiteral("Rewrite this draft into a better prompt for an AI (Alt+1)"));
            EXPECT_EQ(texts(view.content()).last(), "Alt+1 presses this button · Esc closes");
        } else {
            const QList<ActionRow*> list = rows(view.content());
            ASSERT_EQ(list.size(), 1);
            EXPECT_TRUE(list[0]->look().accent);
            EXPECT_EQ(list[0]->look().shortcut, QStringLiteral("Alt+1"));
            EXPECT_FALSE(list[0]->look().menuGutter);
        }
    }
}

TEST_F(PopoverViewActions, ChosenToneAndLanguageAreStoredBeforeTheyAreUsed)
{
    for (PopoverLayout layout : {PopoverLayout::chips, PopoverLayout::list}) {
        SCOPED_TRACE(rawValue(layout).toStdString());
        setPreferences(layout);
        model.setTargetLanguage(Language::english());
        model.setState(PopoverState::ready(CaptureMethod::ax));
        PopoverView& view = makeView();
        QMenu* menu = languageMenu(view.content())->menu();
        ASSERT_EQ(menuTitles(menu).size(), 10);
        EXPECT_EQ(menuTitles(menu).value(4), QStringLiteral("German"));
        EXPECT_TRUE(menu->actions()[0]->isChecked());

        menu->actions()[4]->trigger();
        EXPECT_EQ(model.targetLanguage(), *Language::withID(QStringLiteral("de")));
        EXPECT_EQ(Preferences::targetLanguageID(), QStringLiteral("de"));
        LanguageMenuButton* language = languageMenu(view.content());
        EXPECT_EQ(language->look().text, QStringLiteral("DE"));
        EXPECT_EQ(language->toolTip(), QStringLiteral("Translation language: German"));
        if (layout == PopoverLayout::chips)
            EXPECT_EQ(
                chips(view.content())[0]->toolTip(),
                QStringLiteral("Translate to German (Alt+1) — the globe changes the language"));
        else
            EXPECT_EQ(rows(view.content())[0]->look().title, QStringLiteral("Translate to German"));

        // The tone is stored before the rewrite runs.
        QMenu* tones = layout == PopoverLayout::chips
                           ? view.content()->findChild<SplitChip*>()->menuButton().menu()
                           : view.content()->findChild<SplitRow*>()->menuButton().menu();
        ASSERT_NE(tones, nullptr);
        EXPECT_EQ(menuTitles(tones),
                  QStringList({"Business", "Friendly", "Casual", "Formal", "Concise"}));

        std::optional<QString> storedWhenRun;
        model.onAction = [&](const TextAction& action) {
            actions.append(action.logName());
            storedWhenRun = UserDefaults::standard().string(QStringLiteral("lastStyleID"));
        };
        actions.clear();
        tones->actions()[3]->trigger();
        EXPECT_EQ(actions, QStringList{"rewrite-formal"});
        EXPECT_EQ(storedWhenRun, QStringLiteral("formal"));
    }
}

TEST_F(PopoverViewActions, ResultControlsCallTheirCallbacks)
{
    const struct {
        PopoverLayout layout;
        QStringList tooltips;
    } rowsByLayout[] = {
        {PopoverLayout::chips, {"Alt+1", "Alt+2", "Back to your text (Alt+3 or Esc)"}},
        {PopoverLayout::list, {}}, // the list's rows show their keys instead
    };
    for (const auto& row : rowsByLayout) {
        SCOPED_TRACE(rawValue(row.layout).toStdString());
        setPreferences(row.layout);
        model.setState(PopoverState::result(TextAction::translate()));
        PopoverView& view = makeView();
        QList<QAbstractButton*> controls;
        if (row.layout == PopoverLayout::chips) {
            for (ChipButton* chip : chips(view.content()))
                controls.append(chip);
            EXPECT_EQ(chips(view.content())[0]->tone(), ChipTone::accent);
        } else {
            for (ActionRow* actionRow : rows(view.content()))
                controls.append(actionRow);
            EXPECT_EQ(rows(view.content())[0]->look().shortcut, QStringLiteral("Alt+1"));
            EXPECT_EQ(rows(view.content())[2]->look().shortcut, QStringLiteral("Alt+3"));
        }
        ASSERT_EQ(controls.size(), 3);
        QStringList shownTooltips;
        calls.clear();
        for (QAbstractButton* control : controls) {
            shownTooltips.append(control->toolTip());
            control->click();
        }
        if (!row.tooltips.isEmpty()) {
            EXPECT_EQ(shownTooltips, row.tooltips);
        }
        EXPECT_EQ(calls, QStringList({"replace", "copy", "back"}));
        model.setCopyConfirmed(true);
        EXPECT_EQ(texts(view.content()).at(1), QStringLiteral("Copied"));
        model.setCopyConfirmed(false);
    }
}

TEST_F(PopoverViewActions, ErrorAndPermissionOfferOnlyTheButtonsOfTheirRecovery)
{
    const struct {
        ErrorRecovery recovery;
        QStringList titles;
        QStringList calls;
        bool copied = false;
    } table[] = {
        {ErrorRecovery::none, {"Copy", "Back"}, {"copy", "back"}},
        {ErrorRecovery::openSettings, {"Settings", "Copy", "Back"}, {"settings", "copy", "back"}},
        {ErrorRecovery::update, {"Update", "Copy", "Back"}, {"update", "copy", "back"}},
        {ErrorRecovery::retry, {"Try Again", "Copy", "Back"}, {"retry", "copy", "back"}},
        {ErrorRecovery::retry, {"Try Again", "Copied", "Back"}, {"retry", "copy", "back"}, true},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(caseName(row.recovery).toStdString());
        model.setState(PopoverState::error(QStringLiteral("Something failed."), row.recovery));
        model.setCopyConfirmed(row.copied);
        PopoverView& view = makeView();
        const QList<ChipButton*> buttons = chips(view.content());
        EXPECT_EQ(titles(buttons), row.titles);
        ASSERT_FALSE(buttons.isEmpty());
        EXPECT_EQ(buttons[0]->tone(),
                  row.recovery == ErrorRecovery::none ? ChipTone::plain : ChipTone::accent);
        calls.clear();
        for (ChipButton* button : buttons)
            button->click();
        EXPECT_EQ(calls, row.calls);
    }
    // Without keyboard access, or without an AI service, the one button opens the settings.
    for (const auto& [state, call] : {std::pair{PopoverState::needsPermission(), "accessibility"},
                                      std::pair{PopoverState::needsService(), "settings"}}) {
        model.setState(state);
        const QList<ChipButton*> buttons = chips(makeView().content());
        ASSERT_EQ(buttons.size(), 1);
        calls.clear();
        buttons[0]->click();
        EXPECT_EQ(calls, QStringList{call});
    }
}

TEST_F(PopoverViewActions, LoadingLabelNamesTheRunningAction)
{
    model.setTargetLanguage(*Language::withID(QStringLiteral("fr")));
    const struct {
        TextAction action;
        const char* label;
    } table[] = {
        {TextAction::translate(), "Translating to French…"},
        {TextAction::fixGrammar(), "Fixing grammar…"},
        {TextAction::rewrite(Style::business), "Fixing grammar (business tone)…"},
        {TextAction::improvePrompt(), "Improving prompt…"},
        {TextAction::custom(QStringLiteral("Shorter")), "Working…"},
    };
    PopoverView& view = makeView();
    for (const auto& row : table) {
        SCOPED_TRACE(row.label);
        model.setState(PopoverState::loading(row.action));
        EXPECT_EQ(texts(view.content()), QStringList{QString::fromUtf8(row.label)});
        EXPECT_FALSE(view.editor().textEdit().isEnabled());
        EXPECT_NE(view.editor().graphicsEffect(), nullptr);
    }
    model.setState(PopoverState::result(TextAction::translate()));
    EXPECT_TRUE(view.editor().textEdit().isEnabled());
    EXPECT_EQ(view.editor().graphicsEffect(), nullptr);
}

TEST_F(PopoverViewActions, EditorEditsTheTextOfTheState)
{
    model.setEditableOriginal(QStringLiteral("original"));
    model.setEditableResult(QStringLiteral("result"));
    model.setState(PopoverState::ready(CaptureMethod::clipboard));
    PopoverView& view = makeView();
    QTextEdit& edit = view.editor().textEdit();
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("original"));
    edit.setPlainText(QStringLiteral("original, edited"));
    EXPECT_EQ(model.editableOriginal(), QStringLiteral("original, edited"));

    model.setState(PopoverState::result(TextAction::fixGrammar()));
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("result"));
    edit.setPlainText(QStringLiteral("result, edited"));
    EXPECT_EQ(model.editableResult(), QStringLiteral("result, edited"));
    EXPECT_EQ(model.editableOriginal(), QStringLiteral("original, edited"));

    model.setEditableResult(QStringLiteral("new result"));
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("new result"));
}

TEST_F(PopoverViewActions, ReportsEachNewSizeOnce)
{
    model.setState(PopoverState::ready(CaptureMethod::ax));
    PopoverView& view = makeView();
    ASSERT_EQ(reports.size(), 1);

    // Two changes before the event loop runs give one report.
    model.setState(PopoverState::noSelection());
    model.setState(PopoverState::needsPermission());
    settle();
    ASSERT_EQ(reports.size(), 2);
    EXPECT_EQ(reports.last(), QSizeF(view.measuredSize()));

    // The same state again changes nothing.
    model.setState(PopoverState::needsPermission());
    model.setLastUsage(QStringLiteral("1 in · 1 out"));
    settle();
    EXPECT_EQ(reports.size(), 2);
}

} // namespace
