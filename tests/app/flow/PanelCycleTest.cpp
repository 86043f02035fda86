// SPDX-License-Identifier: MIT
// Trigger, capture, the permission poll, and what Escape, the ⌥-number keys, Copy, Replace and
// Back do in each state of the panel. The road through the real binary (the action's run,
// its result and failures, Replace that pastes) is proven end to end in tests/e2e.
#include "FlowTestSupport.h"
#include "settings/Preferences.h"

using namespace std::chrono_literals;

namespace {

using Kind = PopoverState::Kind;
const QStringList closes{"popover.dismiss(esc)", "hotkey.unregisterSessionKeys"};
const QStringList stepsBack{"log info app: back to ready (esc)"};

class PanelTest : public FlowTest {
protected:
    void SetUp() override
    {
        launch();
        clearLog();
    }

    // Brings the panel into one of the states of the model's table.
    void enter(Kind kind)
    {
        switch (kind) {
        case Kind::ready:
            triggerWithSelection("some text");
            break;
        case Kind::loading:
            triggerWithSelection("some text");
            serviceReplies("Some text.");
            startRun(TextAction::fixGrammar());
            break;
        case Kind::result:
            openResult("some text", "Some text.");
            break;
        case Kind::error:
            openError("some text");
            break;
        case Kind::needsPermission:
            desktop.accessibility->trusted = false;
            desktop.hotkey->pressHotkey();
            desktop.accessibility->trusted = true;
            break;
        case Kind::noSelection:
            desktop.selection->next = std::nullopt;
            desktop.hotkey->pressHotkey();
            break;
        case Kind::needsService:
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

    // Lets a run in flight end and closes the panel, for the next row.
    void closePanel()
    {
        ASSERT_TRUE(waitUntil([this] { return !state().is(Kind::loading); }));
        desktop.popover->dismiss("test");
    }
};

TEST_F(PanelTest, ATriggerOpensTheReadyPanelWithTheSelectionOrSaysThereIsNone)
{
    preferences.setTargetLanguageID("de");
    model().setEditableResult("left over");
    model().setLastUsage(u"1 in · 1 out"_s);
    triggerWithSelection("Hello", CaptureMethod::clipboard);

    EXPECT_EQ(desktop.journal.entries(),
              QStringList({"doubleTap.noteHotkeyPress", "log info hotkey: hotkey fired",
                           "statusItem.flash", "selection.capture", "popover.show",
                           "hotkey.registerSessionKeys"}));
    EXPECT_EQ(state(), PopoverState::ready(CaptureMethod::clipboard));
    EXPECT_EQ(model().editableOriginal(), "Hello");
    EXPECT_EQ(model().targetLanguage(), *Language::withID("de"));
    EXPECT_EQ(model().editableResult(), "");
    EXPECT_FALSE(model().lastUsage());
    EXPECT_EQ(delegate->generation(), 1);
    EXPECT_EQ(delegate->lastCapture()->targetApp, editor);

    desktop.hotkey->pressEscape();
    desktop.selection->next = std::nullopt;
    desktop.hotkey->pressHotkey();
    EXPECT_EQ(state(), PopoverState::noSelection());
    EXPECT_EQ(model().editableOriginal(), "");
    EXPECT_TRUE(desktop.popover->isPanelVisible());
    // The empty capture replaces the earlier one and still starts a new cycle.
    EXPECT_FALSE(delegate->lastCapture());
    EXPECT_EQ(delegate->generation(), 2);
}

TEST_F(PanelTest, WithoutPermissionThePanelAsksForItAndPollsEverySecondWhileOpen)
{
    triggerWithSelection("first");
    desktop.hotkey->pressEscape();
    desktop.accessibility->trusted = false;
    clearLog();
    desktop.hotkey->pressHotkey();

    EXPECT_EQ(desktop.journal.entries(),
              QStringList({"doubleTap.noteHotkeyPress", "log info hotkey: hotkey fired",
                           "statusItem.flash",
                           "log info capture: not trusted — showing permission onboarding",
                           "accessibility.promptOncePerLaunch", "popover.show",
                           "hotkey.registerSessionKeys"}));
    EXPECT_EQ(state(), PopoverState::needsPermission());
    EXPECT_EQ(delegate->lastCapture()->text, "first");
    EXPECT_EQ(delegate->generation(), 1);
    fakeClock.clock.advance(1s);
    desktop.accessibility->trusted = true;
    fakeClock.clock.advance(999ms);
    EXPECT_EQ(state(), PopoverState::needsPermission());
    fakeClock.clock.advance(1ms);
    EXPECT_EQ(state(), PopoverState::noSelection());
    EXPECT_EQ(logLines().last(), "info capture: accessibility granted");
    EXPECT_FALSE(delegate->isPermissionPollRunning());
    EXPECT_EQ(fakeClock.clock.pendingSleeps(), 0);

    // The poll ends with the panel, dismissed or hidden.
    closePanel();
    for (const bool dismissed : {true, false}) {
        SCOPED_TRACE(dismissed ? "dismissed" : "hidden");
        enter(Kind::needsPermission);
        if (dismissed)
            desktop.hotkey->pressEscape();
        desktop.popover->visible = false;
        fakeClock.clock.advance(3s);
        EXPECT_EQ(state(), PopoverState::needsPermission());
        EXPECT_TRUE(logLines().filter("accessibility granted").isEmpty());
        EXPECT_EQ(fakeClock.clock.pendingSleeps(), 0);
    }
    // A fresh poll replaces the one of an earlier opening.
    desktop.accessibility->trusted = false;
    desktop.hotkey->pressHotkey();
    fakeClock.clock.advance(500ms);
    desktop.hotkey->pressEscape();
    desktop.hotkey->pressHotkey();
    desktop.accessibility->trusted = true;
    fakeClock.clock.advance(2s);
    EXPECT_EQ(logLines().count("info capture: accessibility granted"), 1);
}

TEST_F(PanelTest, TheLengthLimitCountsCharactersAsTheUserSeesThem)
{
    serviceReplies("ok");
    const struct {
        QString text;
        bool runs;
    } rows[] = {
        {QString(12000, 'a'), true},
        {u"e\u0301"_s.repeated(12000), true},
        {QString(12001, 'a'), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.size());
        triggerWithSelection(row.text);
        const int64_t generation = delegate->generation();
        const auto requests = server.requests().size();
        clearLog();
        runToEnd(TextAction::translate());
        if (row.runs) {
            EXPECT_EQ(logLines().first(), "info ai: translate start (12000 chars in)");
        } else {
            EXPECT_EQ(state(),
                      PopoverState::error("Selection too large (12001 / 12,000 characters).",
                                          ErrorRecovery::none));
            EXPECT_TRUE(logLines().isEmpty());
            EXPECT_EQ(server.requests().size(), requests);
            EXPECT_EQ(delegate->generation(), generation);
        }
        desktop.hotkey->pressHotkey();
    }
}

TEST_F(PanelTest, RunsThatDoNothing)
{
    runToEnd(TextAction::translate()); // before the first capture
    EXPECT_EQ(state(), PopoverState::noSelection());
    EXPECT_TRUE(desktop.journal.entries().isEmpty());
    triggerWithSelection("text");
    clearLog();
    for (const QString instruction : {" \n\t ", ""})
        runToEnd(TextAction::custom(instruction));
    model().onRetry(); // before any action
    EXPECT_EQ(state(), PopoverState::ready(CaptureMethod::ax));
    EXPECT_TRUE(desktop.journal.entries().isEmpty());
    EXPECT_FALSE(delegate->lastAction());
    desktop.hotkey->pressHotkey();
    triggerWithSelection("   "); // blanks alone are nothing to send
    runToEnd(TextAction::fixGrammar());
    EXPECT_EQ(state(), PopoverState::ready(CaptureMethod::ax));
    EXPECT_TRUE(server.requests().isEmpty());
}

// The language chosen in the panel reaching the request is proven end to end by
// OwnKeyRoadTest; the edited text here.
TEST_F(PanelTest, RetryRunsTheLastActionOnTheCurrentText)
{
    openError("frist try");
    model().setEditableOriginal("first try");
    serviceReplies("First try.");
    model().onRetry();
    ASSERT_TRUE(waitUntil([this] { return !state().is(Kind::loading); }));
    EXPECT_EQ(state(), PopoverState::result(TextAction::fixGrammar()));
    EXPECT_EQ(server.requests().last().json().value("text"), "first try");
    desktop.hotkey->pressHotkey();
    // RunRulesTest has the table; this is the one row through the whole flow.
    openResult("  Hello\n", "Hallo");
    EXPECT_EQ(model().editableResult(), "  Hallo\n");
}

// What a key or a button of the panel does in each state: the calls it causes (unchecked
// when absent) and the state after (absent: the state stays as it was). Replace that pastes,
// and Replace after the application has quit, are proven end to end by RoadOfOneRequestTest
// and ErrorPathsTest.ReplaceAfterTheEditorQuitPutsTheResultOnTheClipboard.
TEST_F(PanelTest, EachKeyAndButtonDoesWhatTheStateOffers)
{
    const std::set<PopoverAction> all{PopoverAction::translate, PopoverAction::fixGrammar,
                                      PopoverAction::improvePrompt};
    const auto escape = [this] { desktop.hotkey->pressEscape(); };
    const auto key = [this, all](int number, std::set<PopoverAction> visible = {}) {
        return [=, this] {
            preferences.setEnabledActions(visible.empty() ? all : visible);
            desktop.hotkey->pressActionKey(number);
        };
    };
    // Copy, after editing the result unless `edited` is null; "Copied" shows for a moment
    // before the panel closes.
    const auto copy = [this](const QString& edited = {}) {
        return [=, this] {
            if (!edited.isNull())
                model().setEditableResult(edited);
            clearLog();
            model().onCopy();
            EXPECT_TRUE(model().copyConfirmed());
            fakeClock.clock.advance(799ms);
            EXPECT_TRUE(desktop.popover->isPanelVisible());
            fakeClock.clock.advance(1ms);
        };
    };
    const auto copied = [](const QString& text) {
        return QStringList{"clipboard.writeString(" + text + ")",
                           u"log info app: result copied (%1 chars)"_s.arg(text.size()),
                           "popover.dismiss(copied)", "hotkey.unregisterSessionKeys"};
    };
    const auto copyNothing = [this] { model().onCopy(); };
    // Replace where keys cannot be typed: secure input, or a desktop that lets nothing type
    // keys and an element that cannot take the text.
    const auto replace = [this](bool secureInput, bool insertable) {
        return [=, this] {
            desktop.secureInput->active = secureInput;
            desktop.pasteBack->insertable = insertable;
            desktop.journal.clear();
            model().onReplace();
            desktop.secureInput->active = false;
            desktop.pasteBack->insertable = true;
        };
    };
    const QString secureInputMessage =
        "Secure input is active (a password field or Terminal's Secure Keyboard Entry) — "
        "pasting is blocked. The result was copied to your clipboard instead.";
    const auto leftOnClipboard = [](const QString& line) {
        return QStringList{line, "clipboard.writeString(Some text.)"};
    };
    const auto backKeepingTheTexts = [this] {
        model().setEditableOriginal("edited original");
        model().setEditableResult("edited result");
        clearLog();
        model().onBack();
        EXPECT_EQ(model().editableOriginal(), "edited original");
        EXPECT_EQ(model().editableResult(), "edited result");
    };
    const QStringList esc{"doubleTap.noteHotkeyPress"};
    const QStringList nothing;
    const PopoverState ready = PopoverState::ready(CaptureMethod::ax);
    const std::optional<PopoverState> stays;
    const struct {
        const char* name;
        Kind from;
        std::function<void()> act;
        std::optional<QStringList> calls;
        std::optional<PopoverState> after;
    } rows[] = {
        // clang-format off
        {"Esc in ready closes", Kind::ready, escape, esc + closes, stays},
        {"Esc in needsPermission closes", Kind::needsPermission, escape, esc + closes, stays},
        {"Esc in noSelection closes", Kind::noSelection, escape, esc + closes, stays},
        {"Esc in loading steps back", Kind::loading, escape, esc + stepsBack, ready},
        {"Esc in result steps back", Kind::result, escape, esc + stepsBack, ready},
        {"Esc in error steps back", Kind::error, escape, esc + stepsBack, ready},
        {"Esc in needsService steps back", Kind::needsService, escape, esc + stepsBack, ready},
        {"⌥1 in ready runs the first action", Kind::ready, key(1), {}, PopoverState::loading(TextAction::translate())},
        {"⌥2 in ready runs the second", Kind::ready, key(2), {}, PopoverState::loading(TextAction::fixGrammar())},
        {"⌥4 in ready does nothing", Kind::ready, key(4), {}, stays},
        {"⌥1 with one visible action runs it", Kind::ready, key(1, {PopoverAction::improvePrompt}), {}, PopoverState::loading(TextAction::improvePrompt())},
        {"⌥2 with one visible action does nothing", Kind::ready, key(2, {PopoverAction::improvePrompt}), {}, stays},
        {"⌥3 in result goes back", Kind::result, key(3), {}, ready},
        {"⌥4 in result does nothing", Kind::result, key(4), {}, stays},
        {"⌥1 in error presses its recovery, Try Again", Kind::error, key(1), {}, PopoverState::loading(TextAction::fixGrammar())},
        {"⌥3 in error goes back", Kind::error, key(3), {}, ready},
        {"⌥1 in loading does nothing", Kind::loading, key(1), {}, stays},
        {"⌥1 in noSelection does nothing", Kind::noSelection, key(1), {}, stays},
        {"⌥1 in needsPermission does nothing", Kind::needsPermission, key(1), {}, stays},
        {"Copy in result", Kind::result, copy(), copied("Some text."), stays},
        {"Copy of an edited result", Kind::result, copy("Some text!"), copied("Some text!"), stays},
        {"Copy in error after a failed first run", Kind::error, copy(), copied("some text"), stays},
        {"Copy in error with a result", Kind::error, copy("kept result"), copied("kept result"), stays},
        {"Copy in ready", Kind::ready, copyNothing, nothing, stays},
        {"Copy in loading", Kind::loading, copyNothing, nothing, stays},
        {"Copy in noSelection", Kind::noSelection, copyNothing, nothing, stays},
        {"Copy in needsPermission", Kind::needsPermission, copyNothing, nothing, stays},
        {"Replace under secure input", Kind::result, replace(true, true), leftOnClipboard("log error replace: secure input enabled — cannot post synthetic ⌘V"), PopoverState::error(secureInputMessage, ErrorRecovery::none)},
        {"Replace where nothing can type", Kind::result, replace(false, false), leftOnClipboard("log info replace: no way to type keys here — result left on the clipboard"), PopoverState::error("Copied — press Ctrl+V to paste", ErrorRecovery::none)},
        {"Replace in ready", Kind::ready, replace(false, true), nothing, stays},
        {"Replace in error", Kind::error, replace(false, true), nothing, stays},
        {"Back in result keeps the texts", Kind::result, backKeepingTheTexts, QStringList{"log info app: back to ready (back)"}, ready},
        {"Back in noSelection closes without a capture", Kind::noSelection, [this] { model().onBack(); }, QStringList{"popover.dismiss(back)", "hotkey.unregisterSessionKeys"}, stays},
        // clang-format on
    };
    serviceReplies("done");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        enter(row.from);
        const PopoverState before = state();
        const int64_t generation = delegate->generation();
        row.act();
        if (row.calls) {
            EXPECT_EQ(desktop.journal.entries(), *row.calls);
        }
        EXPECT_EQ(state(), row.after.value_or(before));
        if (row.calls == esc + stepsBack) {
            EXPECT_EQ(delegate->generation(), generation + 1);
        }
        closePanel();
    }
    // Keys of a hidden panel do nothing; a step back while "Copied" shows keeps it open.
    enter(Kind::result);
    desktop.popover->visible = false;
    delegate->actionKeyPressed(1);
    delegate->actionKeyPressed(2);
    EXPECT_EQ(state(), PopoverState::result(TextAction::fixGrammar()));
    EXPECT_TRUE(desktop.journal.entries().isEmpty());
    closePanel();
    enter(Kind::result);
    model().onCopy();
    desktop.hotkey->pressEscape();
    fakeClock.clock.advance(1s);
    EXPECT_TRUE(desktop.popover->isPanelVisible());
    EXPECT_FALSE(model().copyConfirmed());
}

TEST_F(PanelTest, AResultAfterADismissalFillsTheHiddenPanelUnlessANewCaptureCameFirst)
{
    enter(Kind::loading);
    desktop.hotkey->pressHotkey(); // a second trigger while loading closes the panel
    EXPECT_FALSE(desktop.popover->isPanelVisible());
    waitForRunsInFlight();
    EXPECT_EQ(state(), PopoverState::result(TextAction::fixGrammar()));
    EXPECT_EQ(preferences.monthlyUsage(fakeClock.clock), Preferences::Usage({12, 7}));

    enter(Kind::loading);
    desktop.hotkey->pressHotkey();
    EXPECT_EQ(state(), PopoverState::loading(TextAction::fixGrammar()));
    triggerWithSelection("next selection");
    waitForRunsInFlight();
    EXPECT_EQ(state(), PopoverState::ready(CaptureMethod::ax));
    EXPECT_EQ(model().editableOriginal(), "next selection");
    EXPECT_EQ(model().editableResult(), "");
    EXPECT_EQ(preferences.monthlyUsage(fakeClock.clock), Preferences::Usage({12, 7}));
    EXPECT_TRUE(logLines().filter("ok in").isEmpty());
}

} // namespace
