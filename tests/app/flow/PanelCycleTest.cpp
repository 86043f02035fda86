// SPDX-License-Identifier: MIT
// Trigger, capture, and what Escape, the ⌥-number keys, Copy, Replace and
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
        case Kind::noSelection:
            desktop.selection->next = std::nullopt;
            desktop.hotkey->pressHotkey();
            break;
        default: // the permission and service states have tests of their own
            FAIL();
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
    EXPECT_EQ(delegate->lastCapture()->targetApp, editor);

    desktop.hotkey->pressEscape();
    desktop.selection->next = std::nullopt;
    desktop.hotkey->pressHotkey();
    EXPECT_EQ(state(), PopoverState::noSelection());
    EXPECT_EQ(model().editableOriginal(), "");
    // The empty capture replaces the earlier one and still starts a new cycle.
    EXPECT_FALSE(delegate->lastCapture());
    EXPECT_EQ(delegate->generation(), 2);
}

// Up to the limit, counted as the user sees characters; one more is refused, end to end by
// ErrorPathsTest.ASelectionOverTheLimitIsRefusedWithoutSendingIt.
TEST_F(PanelTest, TheLengthLimitCountsCharactersAsTheUserSeesThem)
{
    serviceReplies("ok");
    for (const QString& text : {QString(12000, 'a'), u"e\u0301"_s.repeated(12000)}) {
        triggerWithSelection(text);
        clearLog();
        runToEnd(TextAction::translate());
        EXPECT_EQ(logLines().value(0), "info ai: translate start (12000 chars in)");
        desktop.hotkey->pressHotkey();
    }
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
    const auto escape = [this] { desktop.hotkey->pressEscape(); };
    const auto key = [this](int number) {
        return [=, this] { desktop.hotkey->pressActionKey(number); };
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
            fakeClock.advance(799ms);
            EXPECT_TRUE(desktop.popover->isPanelVisible());
            fakeClock.advance(1ms);
        };
    };
    const auto copied = [](const QString& text) {
        return QStringList{"pasteBack.copy(" + text + ")",
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
        return QStringList{line, "pasteBack.copy(Some text.)"};
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
        {"Esc in result steps back", Kind::result, escape, esc + stepsBack, ready},
        {"⌥1 with one visible action runs it", Kind::ready, key(1), {}, PopoverState::loading(TextAction::improvePrompt())},
        {"⌥2 with one visible action does nothing", Kind::ready, key(2), {}, stays},
        {"⌥3 in result goes back", Kind::result, key(3), {}, ready},
        {"⌥4 in result does nothing", Kind::result, key(4), {}, stays},
        {"⌥1 in error presses its recovery, Try Again", Kind::error, key(1), {}, PopoverState::loading(TextAction::fixGrammar())},
        {"⌥1 in loading does nothing", Kind::loading, key(1), {}, stays},
        {"Copy of an edited result", Kind::result, copy("Some text!"), copied("Some text!"), stays},
        {"Copy in error after a failed first run", Kind::error, copy(), copied("some text"), stays},
        {"Copy in error with a result", Kind::error, copy("kept result"), copied("kept result"), stays},
        {"Copy in ready", Kind::ready, copyNothing, nothing, stays},
        {"Replace under secure input", Kind::result, replace(true, true), leftOnClipboard("log error replace: secure input enabled — cannot post synthetic ⌘V"), PopoverState::error(secureInputMessage, ErrorRecovery::none)},
        {"Replace where nothing can type", Kind::result, replace(false, false), leftOnClipboard("log info replace: no way to type keys here — result left on the clipboard"), PopoverState::error("Copied — press Ctrl+V to paste", ErrorRecovery::none)},
        {"Replace in ready", Kind::ready, replace(false, true), nothing, stays},
        {"Back in result keeps the texts", Kind::result, backKeepingTheTexts, QStringList{"log info app: back to ready (back)"}, ready},
        {"Back in noSelection closes without a capture", Kind::noSelection, [this] { model().onBack(); }, QStringList{"popover.dismiss(back)", "hotkey.unregisterSessionKeys"}, stays},
        // clang-format on
    };
    serviceReplies("done");
    preferences.setEnabledActions({PopoverAction::improvePrompt});
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
    // Keys of a hidden panel do nothing: ⌥1 there would paste where the user no longer looks.
    enter(Kind::result);
    desktop.popover->visible = false;
    delegate->actionKeyPressed(1);
    delegate->actionKeyPressed(2);
    EXPECT_EQ(state(), PopoverState::result(TextAction::fixGrammar()));
    EXPECT_TRUE(desktop.journal.entries().isEmpty());
}

TEST_F(PanelTest, ALateResultFillsTheHiddenPanelUnlessANewCaptureOrEscCameFirst)
{
    enter(Kind::loading);
    desktop.hotkey->pressHotkey(); // a second trigger while loading closes the panel
    EXPECT_FALSE(desktop.popover->isPanelVisible());
    waitForRunsInFlight();
    EXPECT_EQ(state(), PopoverState::result(TextAction::fixGrammar()));
    EXPECT_EQ(preferences.monthlyUsage(fakeClock), Preferences::Usage({12, 7}));

    enter(Kind::loading);
    desktop.hotkey->pressHotkey();
    EXPECT_EQ(state(), PopoverState::loading(TextAction::fixGrammar()));
    triggerWithSelection("next selection");
    waitForRunsInFlight();
    EXPECT_EQ(state(), PopoverState::ready(CaptureMethod::ax));
    EXPECT_EQ(model().editableOriginal(), "next selection");
    EXPECT_EQ(model().editableResult(), "");
    EXPECT_EQ(preferences.monthlyUsage(fakeClock), Preferences::Usage({12, 7}));
    EXPECT_TRUE(logLines().filter("ok in").isEmpty());

    // Esc while loading steps back at once; the late answer is neither shown nor counted.
    closePanel();
    enter(Kind::loading);
    desktop.hotkey->pressEscape();
    EXPECT_EQ(logLines(), QStringList{"info app: back to ready (esc)"});
    waitForRunsInFlight();
    EXPECT_EQ(state(), PopoverState::ready(CaptureMethod::ax));
    EXPECT_EQ(preferences.monthlyUsage(fakeClock), Preferences::Usage({12, 7}));
    EXPECT_TRUE(logLines().filter("ok in").isEmpty());
}

} // namespace
