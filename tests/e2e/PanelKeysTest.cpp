// SPDX-License-Identifier: MIT
// What opens and closes the panel, each by the means a person uses: the shortcut, a double
// tap of Alt, `quillmark trigger` bound to a desktop shortcut; and Esc while an answer is
// on its way, whose late answer must not reach the panel.
#include "E2eTest.h"

using namespace Qt::StringLiterals;

namespace {

enum class Trigger { shortcut, doubleTapAlt, command };

struct TriggerRow {
    const char* name;
    Trigger trigger;
    // The source named in the log: "<source> fired", "panel dismissed (<source> toggle)".
    const char* source;
};

// Rows are named in the output by their name alone.
void PrintTo(const TriggerRow& row, std::ostream* out)
{
    *out << row.name;
}

class PanelTriggerTest : public E2eTest, public ::testing::WithParamInterface<TriggerRow> {
protected:
    ::testing::AssertionResult fire(Trigger trigger)
    {
        switch (trigger) {
        case Trigger::shortcut:
            return press(u"alt+super+t"_s);
        case Trigger::doubleTapAlt:
            // Two short taps well inside the double-tap window, with nothing held.
            if (!xdotool({u"key"_s, u"--delay"_s, u"120"_s, u"Alt_L"_s, u"Alt_L"_s}))
                return broke(u"xdotool could not tap Alt twice"_s, QString());
            return ::testing::AssertionSuccess();
        case Trigger::command:
            return runCommand(u"quillmark trigger did not reach the running instance"_s,
                              {u"trigger"_s});
        }
        return ::testing::AssertionFailure();
    }
};

class EscWhileLoadingTest : public E2eTest {
protected:
    // How pressing Esc went, once the first request has arrived.
    std::optional<::testing::AssertionResult> m_escape;
};

const QString noSelectionHint = u"Select some text first, then press the hotkey."_s;

} // namespace

TEST_P(PanelTriggerTest, OpensThePanelAndClosesItAgain)
{
    const TriggerRow row = GetParam();
    const QString source = QString::fromLatin1(row.source);
    if (row.trigger == Trigger::doubleTapAlt) {
        ASSERT_TRUE(writeDefault(u"doubleTapModifier"_s, u"-string"_s, u"option"_s));
    }
    ASSERT_TRUE(startTray());
    if (row.trigger == Trigger::doubleTapAlt) {
        ASSERT_TRUE(logShows(u"info hotkey: double-tap ⌥ armed"_s));
    }

    const qsizetype beforeOpen = m_tray.mark();
    ASSERT_TRUE(fire(row.trigger));
    ASSERT_TRUE(logShows(u"info hotkey: %1 fired"_s.arg(source), beforeOpen));
    ASSERT_TRUE(logMatches(uR"(info app: panel shown frame .*)"_s, beforeOpen));
    // No editor is open, so there is nothing to capture.
    ASSERT_TRUE(panelShows(noSelectionHint));

    const qsizetype beforeClose = m_tray.mark();
    ASSERT_TRUE(fire(row.trigger));
    ASSERT_TRUE(logShows(u"info app: panel dismissed (%1 toggle)"_s.arg(source), beforeClose));
    ASSERT_TRUE(panelHidden(u"the panel stayed on screen after the second trigger"_s));
}

INSTANTIATE_TEST_SUITE_P(
    E2e, PanelTriggerTest,
    ::testing::Values(TriggerRow{"Shortcut", Trigger::shortcut, "hotkey"},
                      TriggerRow{"DoubleTapAlt", Trigger::doubleTapAlt, "double-tap"},
                      TriggerRow{"TriggerCommand", Trigger::command, "trigger"}),
    rowName);

TEST_F(EscWhileLoadingTest, TheLateAnswerIsDroppedAndNotCounted)
{
    m_relay.enqueue(LoopbackServer::Reply::json(
        200, R"({"text":"Late answer.","usage":{"prompt_tokens":50,"completion_tokens":50}})"));
    // The answer to the first request leaves only when this callback returns, so Esc is
    // pressed while the panel is loading. Nothing else talks to the server meanwhile, which
    // the server needs while one of its callbacks spins the event loop.
    m_relay.onRequest = [this](const LoopbackServer::Request&) {
        if (m_escape)
            return;
        m_escape = press(u"Escape"_s);
        if (*m_escape)
            m_escape = logShows(u"info app: back to ready (esc)"_s);
    };
    ASSERT_TRUE(startTray());
    ASSERT_TRUE(openEditorWithSelection(sentence));
    ASSERT_TRUE(openPanelOnSelection(sentence));

    const qsizetype first = m_tray.mark();
    ASSERT_TRUE(press(u"alt+2"_s));
    ASSERT_TRUE(logShows(u"info ai: fixGrammar start (30 chars in)"_s, first));
    ASSERT_TRUE(waitUntil([&] { return m_escape.has_value(); }))
        << "step failed: the hosted service never received the request";
    ASSERT_TRUE(*m_escape);
    ASSERT_TRUE(panelShows(sentence));

    // The late answer has left the server; a second run is answered with the standing one.
    const qsizetype second = m_tray.mark();
    ASSERT_TRUE(press(u"alt+2"_s));
    ASSERT_TRUE(logMatches(uR"(info ai: fixGrammar ok in \d+ms \(in 12 out 7 tok\))"_s, second));
    ASSERT_TRUE(panelShows(corrected));
    const QStringList all = m_tray.lines();
    EXPECT_EQ(all.filter(QRegularExpression(u"^info ai: fixGrammar ok"_s)).size(), 1)
        << "the late answer was taken: " << all.join(u'\n').toStdString();
    EXPECT_FALSE(AccessibilityProbe(m_tray.pid()).shownTexts().contains(u"Late answer."_s));
    EXPECT_EQ(readDefault(u"usagePromptTokens"_s), "12") << "the late answer's tokens were counted";
    EXPECT_EQ(readDefault(u"usageCompletionTokens"_s), "7")
        << "the late answer's tokens were counted";
}
