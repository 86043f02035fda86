// SPDX-License-Identifier: MIT
#include "ui/PopoverView.h"
#include "core/PopoverModel.h"
#include "settings/Preferences.h"
#include "settings/UserDefaults.h"
#include "support/TestEnvironment.h"
#include "ui/ActionRow.h"
#include "ui/ChipButton.h"
#include "ui/LanguageMenuButton.h"
#include "ui/PopoverEditor.h"
#include "ui/SplitChip.h"
#include "ui/SplitRow.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

const std::set<PopoverAction> allActions = {PopoverAction::translate, PopoverAction::fixGrammar,
                                            PopoverAction::improvePrompt};

// The words a person reads in the view, in build order (the order on screen): "*" marks
// the accented control, a list row carries its key.
QStringList texts(QWidget* root)
{
    QStringList result;
    for (const QWidget* widget : QList<QWidget*>{root} + root->findChildren<QWidget*>()) {
        if (widget->isHidden())
            continue;
        if (auto* chip = qobject_cast<const ChipButton*>(widget))
            result.append((chip->tone() == ChipTone::accent ? "*" : "") + chip->text());
        else if (auto* row = qobject_cast<const ActionRow*>(widget))
            result.append((row->look().accent ? "*" : "") +
                          QStringList{row->look().title, row->look().shortcut}.join(u' '));
        else if (auto* label = qobject_cast<const QLabel*>(widget);
                 label && !label->text().isEmpty())
            result.append(label->text());
        else if (auto* menu = qobject_cast<const MenuButton*>(widget);
                 menu && !menu->look().text.isEmpty())
            result.append(menu->look().text);
    }
    return result;
}

// A view over its own model in a fresh settings folder, writing down the callbacks its
// controls call.
class PopoverViewTest : public ::testing::Test {
protected:
    PopoverViewTest()
    {
        model.onAction = [this](const TextAction& action) { calls.append(action.logName()); };
        using M = PopoverModel;
        const std::pair<std::function<void()> M::*, const char*> hooks[] = {
            {&M::onReplace, "replace"},
            {&M::onCopy, "copy"},
            {&M::onBack, "back"},
            {&M::onRetry, "retry"},
            {&M::onUpdate, "update"},
            {&M::onOpenSettings, "settings"},
            {&M::onOpenAccessibilitySettings, "accessibility"}};
        for (const auto& [hook, call] : hooks)
            model.*hook = [this, call] { calls.append(QString::fromUtf8(call)); };
    }

    // Builds the view with these preferences and lets it settle.
    PopoverView& makeView(PopoverLayout layout = PopoverLayout::chips,
                          const std::set<PopoverAction>& enabled = allActions)
    {
        preferences.setPopoverLayout(layout);
        preferences.setEnabledActions(enabled);
        view = std::make_unique<PopoverView>(model, preferences);
        QCoreApplication::sendPostedEvents();
        return *view;
    }

    // The chips or rows of the view, in order.
    QList<QAbstractButton*> controls() const
    {
        QList<QAbstractButton*> found;
        for (QAbstractButton* button : view->content()->findChildren<QAbstractButton*>()) {
            if (qobject_cast<ChipButton*>(button) || qobject_cast<ActionRow*>(button))
                found.append(button);
        }
        return found;
    }

    ScopedConfigHome config;
    Preferences preferences{UserDefaults::standard()};
    PopoverModel model;
    std::unique_ptr<PopoverView> view;
    QStringList calls;
};

enum class Editor { hidden, editable, dimmed };

// What each state shows, and what its controls call when each is clicked in turn.
TEST_F(PopoverViewTest, EveryStateShowsItsWordsAndItsControlsCallTheirCallbacks)
{
    using S = PopoverState;
    using L = PopoverLayout;
    const auto ready = S::ready(CaptureMethod::ax);
    const auto result = S::result(TextAction::fixGrammar());
    const auto error = [](ErrorRecovery recovery) { return S::error("It failed.", recovery); };
    const QString three = "Alt+1 to Alt+3 press these buttons · Esc goes back";
    const QString two = "Alt+1 and Alt+2 press these buttons · Esc goes back";
    const QString usage = "120 in · 45 out";
    const QString permission = "Quillmark reads your selected text and pastes the result back — on "
                               "X11 both need the XTEST and XInputExtension extensions, which this "
                               "X server does not offer.";
    const struct {
        const char* name;
        PopoverState state;
        PopoverLayout layout;
        Editor editor;
        QStringList texts;
        QStringList calls;
        bool usage = false;
        bool copied = false;
        std::set<PopoverAction> actions = allActions;
    } rows[] = {
        // clang-format off
        {"ready chips", ready, L::chips, Editor::editable, {"*Translate", "Fix Grammar", "Improve AI Prompt", "FR", "Alt+1 to Alt+3 press these buttons · Esc closes"}, {"translate", "fixGrammar", "improvePrompt"}},
        {"ready list", ready, L::list, Editor::editable, {"*Translate to French Alt+1", "Fix Grammar Alt+2", "Improve AI Prompt Alt+3", "FR"}, {"translate", "fixGrammar", "improvePrompt"}},
        {"one action chips", ready, L::chips, Editor::editable, {"*Improve AI Prompt", "Alt+1 presses this button · Esc closes"}, {"improvePrompt"}, false, false, {PopoverAction::improvePrompt}},
        {"one action list", ready, L::list, Editor::editable, {"*Improve AI Prompt Alt+1"}, {"improvePrompt"}, false, false, {PopoverAction::improvePrompt}},
        {"loading translate", S::loading(TextAction::translate()), L::chips, Editor::dimmed, {"Translating to French…"}, {}},
        {"result chips", result, L::chips, Editor::editable, {"*Replace", "Copy", "Back", usage, three}, {"replace", "copy", "back"}, true},
        {"result copied", result, L::list, Editor::editable, {"*Replace Alt+1", "Copied Alt+2", "Back Alt+3", usage}, {"replace", "copy", "back"}, true, true},
        {"error", error(ErrorRecovery::none), L::list, Editor::hidden, {"It failed.", "Copy", "Back", two}, {"copy", "back"}},
        {"error settings", error(ErrorRecovery::openSettings), L::chips, Editor::hidden, {"It failed.", "*Settings", "Copy", "Back", three}, {"settings", "copy", "back"}},
        {"error update", error(ErrorRecovery::update), L::chips, Editor::hidden, {"It failed.", "*Update", "Copy", "Back", three}, {"update", "copy", "back"}},
        {"error retry", error(ErrorRecovery::retry), L::chips, Editor::hidden, {"It failed.", "*Try Again", "Copied", "Back", three}, {"retry", "copy", "back"}, false, true},
        {"needs permission", S::needsPermission(), L::chips, Editor::hidden, {"Keyboard access needed", permission, "How to Fix…"}, {"accessibility"}},
        {"no selection", S::noSelection(), L::chips, Editor::hidden, {"Select some text first, then press the hotkey."}, {}},
        // clang-format on
    };
    model.setTargetLanguage(*Language::withID("fr"));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        model.setState(row.state);
        model.setLastUsage(row.usage ? usage : QString());
        model.setCopyConfirmed(row.copied);
        PopoverView& shown = makeView(row.layout, row.actions);
        EXPECT_EQ(texts(shown.content()), row.texts);
        EXPECT_EQ(shown.editor().isHidden(), row.editor == Editor::hidden);
        EXPECT_EQ(shown.editor().textEdit().isEnabled(), row.editor != Editor::dimmed);
        EXPECT_EQ(shown.editor().graphicsEffect() != nullptr, row.editor == Editor::dimmed);
        calls.clear();
        for (QAbstractButton* control : controls())
            control->click();
        EXPECT_EQ(calls, row.calls);
    }
}

// The language chosen in the panel reaching the request is proven end to end
// (OwnKeyRoadTest); here that it is kept for the next launch, and the tone, which is stored
// before the rewrite runs.
TEST_F(PopoverViewTest, TheChosenLanguageAndToneAreStoredBeforeTheyAreUsed)
{
    for (PopoverLayout layout : {PopoverLayout::chips, PopoverLayout::list}) {
        SCOPED_TRACE(rawValue(layout).toStdString());
        model.setState(PopoverState::ready(CaptureMethod::ax));
        QWidget* content = makeView(layout).content();
        content->findChild<LanguageMenuButton*>()->menu()->actions()[4]->trigger();
        EXPECT_EQ(preferences.targetLanguageID(), QStringLiteral("de"));
        content = view->content();
        QMenu* tones = layout == PopoverLayout::chips
                           ? content->findChild<SplitChip*>()->menuButton().menu()
                           : content->findChild<SplitRow*>()->menuButton().menu();
        std::optional<QString> storedWhenRun;
        model.onAction = [&](const TextAction& action) {
            calls = {action.logName()};
            storedWhenRun = UserDefaults::standard().string(QStringLiteral("lastStyleID"));
        };
        tones->actions()[3]->trigger();
        EXPECT_EQ(calls, QStringList{"rewrite-formal"});
        EXPECT_EQ(storedWhenRun, QStringLiteral("formal"));
    }
}

// Typing into the original is proven on the desktop (PanelDesktopTest); here the result
// takes the editor's place and its edits stay apart from the original.
TEST_F(PopoverViewTest, TheEditorShowsAndEditsTheResult)
{
    model.setEditableOriginal(QStringLiteral("original"));
    model.setState(PopoverState::ready(CaptureMethod::clipboard));
    QTextEdit& edit = makeView().editor().textEdit();
    model.setEditableResult(QStringLiteral("result"));
    model.setState(PopoverState::result(TextAction::fixGrammar()));
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("result"));
    edit.setPlainText(QStringLiteral("result, edited"));
    EXPECT_EQ(model.editableResult(), QStringLiteral("result, edited"));
    EXPECT_EQ(model.editableOriginal(), QStringLiteral("original"));
}

} // namespace
