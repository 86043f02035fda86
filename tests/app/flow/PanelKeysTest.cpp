// SPDX-License-Identifier: MIT
// What Escape, the ⌥-number keys, Copy, Replace and Back do in each state, and how a late
// result is told apart from a current one.
#include "FlowTestSupport.h"
#include "settings/Preferences.h"

using namespace std::chrono_literals;

namespace {

const QString secureInputMessage = QStringLiteral(
    "Secure input is active (a password field or Terminal's Secure Keyboard Entry) — pasting "
    "is blocked. The result was copied to your clipboard instead.");

class KeysTest : public FlowTest {
protected:
    void SetUp() override
    {
        launch();
        clearLog();
    }

    // Brings the panel into one of the states of the model's table.
    void enter(PopoverState::Kind kind)
    {
        switch (kind) {
        case PopoverState::Kind::ready:
            triggerWithSelection("some text");
            break;
        case PopoverState::Kind::loading:
            triggerWithSelection("some text");
            serviceReplies("Some text.");
            startRun(TextAction::fixGrammar());
            break;
        case PopoverState::Kind::result:
            openResult("some text", "Some text.");
            break;
        case PopoverState::Kind::error:
            openError("some text");
            break;
        case PopoverState::Kind::needsPermission:
            desktop.accessibility->trusted = false;
            desktop.hotkey->pressHotkey();
            desktop.accessibility->trusted = true;
            break;
        case PopoverState::Kind::noSelection:
            desktop.selection->next = std::nullopt;
            desktop.hotkey->pressHotkey();
            break;
        case PopoverState::Kind::needsService:
            setDefault(DefaultsKey::proxyBaseURL, "");
            triggerWithSelection("some text");
            runToEnd(TextAction::fixGrammar());
            setDefault(DefaultsKey::proxyBaseURL, server.baseURL());
            break;
        }
        ASSERT_EQ(state().kind(), kind);
        ASSERT_TRUE(desktop.popover->isPanelVisible());
        clearLog();
    }
};

TEST_F(KeysTest, EscapeStepsBackOrCloses)
{
    const struct {
        PopoverState::Kind from;
        QStringList calls;
    } rows[] = {
        {PopoverState::Kind::ready, {"popover.dismiss(esc)", "hotkey.unregisterSessionKeys"}},
        {PopoverState::Kind::needsPermission,
         {"popover.dismiss(esc)", "hotkey.unregisterSessionKeys"}},
        {PopoverState::Kind::noSelection, {"popover.dismiss(esc)", "hotkey.unregisterSessionKeys"}},
        {PopoverState::Kind::loading, {"log info app: back to ready (esc)"}},
        {PopoverState::Kind::result, {"log info app: back to ready (esc)"}},
        {PopoverState::Kind::error, {"log info app: back to ready (esc)"}},
        {PopoverState::Kind::needsService, {"log info app: back to ready (esc)"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(int(row.from));
        enter(row.from);
        const PopoverState before = state();
        const int64_t generation = delegate->generation();
        desktop.hotkey->pressEscape();
        QStringList expected = row.calls;
        expected.prepend("doubleTap.noteHotkeyPress");
        EXPECT_EQ(desktop.journal.entries(), expected);
        const bool stepsBack = row.calls.size() == 1;
        EXPECT_EQ(state(), stepsBack ? PopoverState::ready(CaptureMethod::ax) : before);
        EXPECT_EQ(delegate->generation(), generation + (stepsBack ? 1 : 0));
        if (desktop.popover->isPanelVisible())
            desktop.popover->dismiss("test");
    }
}

TEST_F(KeysTest, BackKeepsTheTextsAndClosesWithoutACapture)
{
    enter(PopoverState::Kind::result);
    model().setEditableOriginal("edited original");
    model().setEditableResult("edited result");
    model().onBack();
    EXPECT_EQ(state(), PopoverState::ready(CaptureMethod::ax));
    EXPECT_EQ(model().editableOriginal(), "edited original");
    EXPECT_EQ(model().editableResult(), "edited result");
    EXPECT_EQ(logLines(), QStringList{"info app: back to ready (back)"});

    desktop.popover->dismiss("test");
    enter(PopoverState::Kind::noSelection);
    model().onBack();
    EXPECT_EQ(desktop.journal.entries(),
              QStringList({"popover.dismiss(back)", "hotkey.unregisterSessionKeys"}));
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(KeysTest, OptionNumberKeysFollowTheState)
{
    const struct {
        const char* name;
        PopoverState::Kind from;
        std::set<PopoverAction> visible;
        int key;
        std::optional<PopoverState> after; // absent: the state stays as it was
    } rows[] = {
        // clang-format off
        {"⌥1 in ready runs the first action", PopoverState::Kind::ready, {}, 1, PopoverState::loading(TextAction::translate())},
        {"⌥2 in ready runs the second", PopoverState::Kind::ready, {}, 2, PopoverState::loading(TextAction::fixGrammar())},
        {"⌥4 in ready does nothing", PopoverState::Kind::ready, {}, 4, std::nullopt},
        {"⌥1 with one visible action runs it", PopoverState::Kind::ready, {PopoverAction::improvePrompt}, 1, PopoverState::loading(TextAction::improvePrompt())},
        {"⌥2 with one visible action does nothing", PopoverState::Kind::ready, {PopoverAction::improvePrompt}, 2, std::nullopt},
        {"⌥3 in result goes back", PopoverState::Kind::result, {}, 3, PopoverState::ready(CaptureMethod::ax)},
        {"⌥4 in result does nothing", PopoverState::Kind::result, {}, 4, std::nullopt},
        {"⌥1 in error presses its recovery, Try Again", PopoverState::Kind::error, {}, 1, PopoverState::loading(TextAction::fixGrammar())},
        {"⌥3 in error goes back", PopoverState::Kind::error, {}, 3, PopoverState::ready(CaptureMethod::ax)},
        {"⌥1 in loading does nothing", PopoverState::Kind::loading, {}, 1, std::nullopt},
        {"⌥1 in noSelection does nothing", PopoverState::Kind::noSelection, {}, 1, std::nullopt},
        {"⌥1 in needsPermission does nothing", PopoverState::Kind::needsPermission, {}, 1, std::nullopt},
        // clang-format on
    };
    serviceReplies("done");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Preferences::setEnabledActions(row.visible.empty()
                                           ? std::set<PopoverAction>{PopoverAction::translate,
                                                                     PopoverAction::fixGrammar,
                                                                     PopoverAction::improvePrompt}
                                           : row.visible);
        enter(row.from);
        const PopoverState before = state();
        desktop.hotkey->pressActionKey(row.key);
        EXPECT_EQ(state(), row.after.value_or(before));
        ASSERT_TRUE(waitUntil([this] { return !state().is(PopoverState::Kind::loading); }));
        desktop.popover->dismiss("test");
    }
}

TEST_F(KeysTest, CopyTakesTheTextTheStateOffers)
{
    const struct {
        const char* name;
        PopoverState::Kind from;
        QString result; // put into editableResult before copying, unless null
        QString copied; // null: nothing is copied
    } rows[] = {
        {"result", PopoverState::Kind::result, {}, "Some text."},
        {"edited result", PopoverState::Kind::result, "Some text!", "Some text!"},
        {"error after a failed first run", PopoverState::Kind::error, {}, "some text"},
        {"error with a result", PopoverState::Kind::error, "kept result", "kept result"},
        {"ready", PopoverState::Kind::ready, {}, {}},
        {"loading", PopoverState::Kind::loading, {}, {}},
        {"noSelection", PopoverState::Kind::noSelection, {}, {}},
        {"needsPermission", PopoverState::Kind::needsPermission, {}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        enter(row.from);
        if (!row.result.isNull())
            model().setEditableResult(row.result);
        clearLog();
        model().onCopy();
        if (row.copied.isNull()) {
            EXPECT_TRUE(desktop.journal.entries().isEmpty());
            EXPECT_TRUE(desktop.popover->isPanelVisible());
        } else {
            // "Copied" shows for a moment before the panel closes.
            EXPECT_TRUE(model().copyConfirmed());
            fakeClock.clock.advance(799ms);
            EXPECT_TRUE(desktop.popover->isPanelVisible());
            fakeClock.clock.advance(1ms);
            EXPECT_EQ(desktop.journal.entries(),
                      QStringList({"clipboard.writeString(" + row.copied + ")",
                                   QStringLiteral("log info app: result copied (%1 chars)")
                                       .arg(row.copied.size()),
                                   "popover.dismiss(copied)", "hotkey.unregisterSessionKeys"}));
        }
        ASSERT_TRUE(waitUntil([this] { return !state().is(PopoverState::Kind::loading); }));
        desktop.popover->dismiss("test");
    }
    // A step back while "Copied" shows keeps the panel open.
    enter(PopoverState::Kind::result);
    model().onCopy();
    desktop.hotkey->pressEscape();
    fakeClock.clock.advance(1s);
    EXPECT_TRUE(desktop.popover->isPanelVisible());
    EXPECT_FALSE(model().copyConfirmed());
}

// Replace that pastes, and Replace after the application has quit, are proven end to end by
// RoadOfOneRequestTest and ErrorPathsTest.ReplaceAfterTheEditorQuitPutsTheResultOnTheClipboard.
TEST_F(KeysTest, ReplaceThatCannotTypeCopiesInstead)
{
    const struct {
        bool secureInput;
        bool insertable;
        QString logLine;
        QString message;
    } rows[] = {
        {true, true, "log error replace: secure input enabled — cannot post synthetic ⌘V",
         secureInputMessage},
        // A desktop that lets nothing type keys, and an element that cannot take the text.
        {false, false, "log info replace: no way to type keys here — result left on the clipboard",
         "Copied — press Ctrl+V to paste"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.logLine.toStdString());
        enter(PopoverState::Kind::result);
        desktop.secureInput->active = row.secureInput;
        desktop.pasteBack->insertable = row.insertable;
        desktop.journal.clear();
        model().onReplace();
        EXPECT_EQ(desktop.journal.entries(),
                  QStringList({row.logLine, "clipboard.writeString(Some text.)"}));
        EXPECT_EQ(state(), PopoverState::error(row.message, ErrorRecovery::none));
        EXPECT_TRUE(desktop.popover->isPanelVisible());
        desktop.popover->dismiss("test");
    }
}

TEST_F(KeysTest, KeysOfAHiddenPanelAndReplaceOutsideTheResultDoNothing)
{
    for (const auto kind : {PopoverState::Kind::ready, PopoverState::Kind::error}) {
        enter(kind);
        model().onReplace();
        EXPECT_TRUE(desktop.journal.entries().isEmpty());
        desktop.popover->dismiss("test");
    }
    enter(PopoverState::Kind::result);
    desktop.popover->setVisible(false);
    delegate->actionKeyPressed(1);
    delegate->actionKeyPressed(2);
    EXPECT_EQ(state(), PopoverState::result(TextAction::fixGrammar()));
    EXPECT_TRUE(desktop.journal.entries().isEmpty());
}

TEST_F(KeysTest, ASecondTriggerWhileLoadingClosesThePanelAndANewCaptureDropsTheResult)
{
    enter(PopoverState::Kind::loading);
    desktop.hotkey->pressHotkey();
    EXPECT_FALSE(desktop.popover->isPanelVisible());
    EXPECT_EQ(state(), PopoverState::loading(TextAction::fixGrammar()));
    triggerWithSelection("next selection");
    waitForRunsInFlight();

    EXPECT_EQ(state(), PopoverState::ready(CaptureMethod::ax));
    EXPECT_EQ(model().editableOriginal(), "next selection");
    EXPECT_EQ(model().editableResult(), "");
    EXPECT_EQ(Preferences::monthlyUsage(fakeClock.clock), Preferences::Usage({0, 0}));
    EXPECT_FALSE(logLines().join('\n').contains("ok in"));
}

TEST_F(KeysTest, AResultAfterADismissalStillFillsTheHiddenPanel)
{
    enter(PopoverState::Kind::loading);
    desktop.hotkey->pressHotkey();
    waitForRunsInFlight();

    EXPECT_FALSE(desktop.popover->isPanelVisible());
    EXPECT_EQ(state(), PopoverState::result(TextAction::fixGrammar()));
    EXPECT_EQ(Preferences::monthlyUsage(fakeClock.clock), Preferences::Usage({12, 7}));
}

} // namespace
