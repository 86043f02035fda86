// SPDX-License-Identifier: MIT
// Trigger, capture, the permission poll and running an action against the loopback service.
#include "FlowTestSupport.h"
#include "ai/ProxyWire.h"
#include "settings/Preferences.h"

using namespace std::chrono_literals;

namespace {

class CycleTest : public FlowTest {
protected:
    void SetUp() override
    {
        launch();
        clearLog();
    }
};

TEST_F(CycleTest, ATriggerWithASelectionOpensTheReadyPanel)
{
    Preferences::setTargetLanguageID("de");
    model().setEditableResult("left over");
    model().setLastUsage(QStringLiteral("1 in · 1 out"));
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
    ASSERT_TRUE(delegate->lastCapture());
    EXPECT_EQ(delegate->lastCapture()->targetApp, editor);
}

TEST_F(CycleTest, ATriggerWithoutASelectionSaysSo)
{
    triggerWithSelection("earlier");
    desktop.selection->next = std::nullopt;
    desktop.hotkey->pressEscape();
    desktop.hotkey->pressHotkey();

    EXPECT_EQ(state(), PopoverState::noSelection());
    EXPECT_EQ(model().editableOriginal(), "");
    EXPECT_TRUE(desktop.popover->isPanelVisible());
    // The empty capture replaces the earlier one and still starts a new cycle.
    EXPECT_FALSE(delegate->lastCapture());
    EXPECT_EQ(delegate->generation(), 2);
}

// Closing an open panel by the shortcut, a double tap or `quillmark trigger`, each with its own
// log lines, is proven end to end by PanelTriggerTest.OpensThePanelAndClosesItAgain.

TEST_F(CycleTest, WithoutPermissionThePanelAsksForItAndWaitsForTheGrant)
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
    EXPECT_EQ(state(), PopoverState::needsPermission());
    EXPECT_TRUE(delegate->isPermissionPollRunning());

    desktop.accessibility->trusted = true;
    fakeClock.clock.advance(999ms);
    EXPECT_EQ(state(), PopoverState::needsPermission());
    fakeClock.clock.advance(1ms);
    EXPECT_EQ(state(), PopoverState::noSelection());
    EXPECT_EQ(logLines().last(), "info capture: accessibility granted");
    EXPECT_FALSE(delegate->isPermissionPollRunning());
    EXPECT_EQ(fakeClock.clock.pendingSleeps(), 0);
}

TEST_F(CycleTest, ThePermissionPollEndsWithThePanel)
{
    const std::pair<const char*, std::function<void()>> endings[] = {
        {"dismissed", [this] { desktop.hotkey->pressEscape(); }},
        {"hidden", [this] { desktop.popover->setVisible(false); }},
    };
    for (const auto& [name, end] : endings) {
        SCOPED_TRACE(name);
        desktop.accessibility->trusted = false;
        desktop.hotkey->pressHotkey();
        ASSERT_EQ(state(), PopoverState::needsPermission());
        clearLog();
        end();
        desktop.accessibility->trusted = true;
        fakeClock.clock.advance(3s);
        EXPECT_EQ(state(), PopoverState::needsPermission());
        EXPECT_FALSE(logLines().contains("info capture: accessibility granted"));
        EXPECT_FALSE(delegate->isPermissionPollRunning());
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
    EXPECT_EQ(state(), PopoverState::noSelection());
}

TEST_F(CycleTest, AnActionRunsAgainstTheServiceAndShowsItsResult)
{
    serviceReplies("Hello, world!", 120, 45);
    triggerWithSelection("helo world");
    clearLog();
    desktop.hotkey->pressActionKey(2);

    EXPECT_EQ(state(), PopoverState::loading(TextAction::fixGrammar()));
    EXPECT_EQ(logLines(), QStringList{"info ai: fixGrammar start (10 chars in)"});
    fakeClock.clock.advance(250ms);
    ASSERT_TRUE(waitUntil([this] { return !state().is(PopoverState::Kind::loading); }));

    EXPECT_EQ(state(), PopoverState::result(TextAction::fixGrammar()));
    EXPECT_EQ(model().editableResult(), "Hello, world!");
    EXPECT_EQ(model().lastUsage(), QStringLiteral("120 in · 45 out"));
    EXPECT_EQ(logLines(), QStringList({"info ai: fixGrammar start (10 chars in)",
                                       "info ai: fixGrammar ok in 250ms (in 120 out 45 tok)"}));
    EXPECT_EQ(Preferences::monthlyUsage(fakeClock.clock), Preferences::Usage({120, 45}));
    EXPECT_EQ(delegate->lastAction(), TextAction::fixGrammar());
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().json().value("text"), "helo world");
}

TEST_F(CycleTest, AFailedRunShowsTheServicesMessageAndRecovery)
{
    const QByteArray body = R"({"text":""})";
    server.setReply(LoopbackServer::Reply::json(200, body));
    triggerWithSelection("some text");
    clearLog();
    runToEnd(TextAction::improvePrompt());

    const ProxyError expected = std::get<ProxyError>(ProxyWire::decodeReply(body));
    EXPECT_EQ(state(), PopoverState::error(expected.message, expected.recovery));
    EXPECT_EQ(logLines(), QStringList({"info ai: improvePrompt start (9 chars in)",
                                       "error ai: improvePrompt failed: " + expected.logDetail}));
    EXPECT_EQ(Preferences::monthlyUsage(fakeClock.clock), Preferences::Usage({0, 0}));
    EXPECT_FALSE(model().lastUsage());
}

TEST_F(CycleTest, TheLengthLimitCountsCharactersAsTheUserSeesThem)
{
    serviceReplies("ok");
    const QString combiningAcute = QStringLiteral("e\u0301");
    const struct {
        const char* name;
        QString text;
        bool runs;
    } rows[] = {
        {"exactly 12,000", QString(12000, 'a'), true},
        {"12,000 letters with accents", combiningAcute.repeated(12000), true},
        {"12,001", QString(12001, 'a'), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        triggerWithSelection(row.text);
        const int64_t generation = delegate->generation();
        const auto requestsBefore = server.requests().size();
        clearLog();
        runToEnd(TextAction::translate());
        if (row.runs) {
            EXPECT_EQ(state(), PopoverState::result(TextAction::translate()));
            EXPECT_EQ(logLines().first(), "info ai: translate start (12000 chars in)");
        } else {
            EXPECT_EQ(state(),
                      PopoverState::error("Selection too large (12001 / 12,000 characters).",
                                          ErrorRecovery::none));
            EXPECT_TRUE(logLines().isEmpty());
            EXPECT_EQ(server.requests().size(), requestsBefore);
            EXPECT_EQ(delegate->generation(), generation);
        }
        desktop.hotkey->pressHotkey();
    }
}

TEST_F(CycleTest, RunsThatDoNothing)
{
    runToEnd(TextAction::translate()); // before the first capture
    EXPECT_EQ(state(), PopoverState::noSelection());
    EXPECT_TRUE(desktop.journal.entries().isEmpty());
    triggerWithSelection("text");
    const QList<std::pair<const char*, std::function<void()>>> rows = {
        {"a blank custom instruction", [this] { runToEnd(TextAction::custom(" \n\t ")); }},
        {"an empty custom instruction", [this] { runToEnd(TextAction::custom("")); }},
        {"Retry before any action", [this] { model().onRetry(); }},
    };
    clearLog();
    for (const auto& [name, act] : rows) {
        SCOPED_TRACE(name);
        act();
        EXPECT_EQ(state(), PopoverState::ready(CaptureMethod::ax));
        EXPECT_TRUE(desktop.journal.entries().isEmpty());
        EXPECT_FALSE(delegate->lastAction());
        EXPECT_TRUE(server.requests().isEmpty());
    }
    desktop.hotkey->pressHotkey();
    triggerWithSelection("   "); // blanks alone are nothing to send
    const PopoverState before = state();
    runToEnd(TextAction::fixGrammar());
    EXPECT_EQ(state(), before);
    EXPECT_TRUE(server.requests().isEmpty());
}

// The language chosen in the panel reaching the request is proven end to end by
// OwnKeyRoadTest.TranslateToGermanChosenInTheLanguageMenuGoesToTheOwnEndpoint; the edited text
// here.
TEST_F(CycleTest, RetryRunsTheLastActionOnTheCurrentText)
{
    openError("frist try");
    model().setEditableOriginal("first try");
    serviceReplies("First try.");
    model().onRetry();
    ASSERT_TRUE(waitUntil([this] { return !state().is(PopoverState::Kind::loading); }));

    EXPECT_EQ(state(), PopoverState::result(TextAction::fixGrammar()));
    EXPECT_EQ(server.requests().last().json().value("text"), "first try");
    desktop.hotkey->pressHotkey();
    // RunRulesTest has the table; this is the one row through the whole flow.
    openResult("  Hello\n", "Hallo");
    EXPECT_EQ(model().editableResult(), "  Hallo\n");
}

} // namespace
