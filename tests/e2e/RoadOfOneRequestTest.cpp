// SPDX-License-Identifier: MIT
// The road of one request, driven by real key presses: the shortcut in mousepad, the panel
// with the captured text, an action by its Alt+number, the result, Alt+1 Replace, and the
// clipboard the other application left there back in place; and the same road by the
// diagnostic switches alone.
#include "E2eTest.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace {

struct CaptureRoute {
    const char* name;
    const char* method;
    bool forceClipboard;
};

// Rows are named in the output by their name alone.
void PrintTo(const CaptureRoute& row, std::ostream* out)
{
    *out << row.name;
}

class RoadOfOneRequestTest : public E2eTest, public ::testing::WithParamInterface<CaptureRoute> {};

class OwnKeyRoadTest : public E2eTest {};
class DiagnosticSwitchesTest : public E2eTest {};

} // namespace

TEST_P(RoadOfOneRequestTest, FixGrammarOnTheHostedServiceReplacesTheSelection)
{
    const CaptureRoute route = GetParam();
    if (route.forceClipboard) {
        ASSERT_TRUE(writeDefault(u"forceClipboardCapture"_s, u"-bool"_s, u"true"_s));
    }
    ASSERT_TRUE(startTray());
    ASSERT_TRUE(openEditorWithSelection(sentence));
    ASSERT_TRUE(openPanelOnSelection(sentence, QString::fromLatin1(route.method)));
    ASSERT_TRUE(clipboardIsEarlierItem(u"the clipboard was not put back after the capture"_s));

    const qsizetype beforeAction = m_tray.mark();
    ASSERT_TRUE(press(u"alt+2"_s));
    ASSERT_TRUE(logShows(u"info ai: fixGrammar start (30 chars in)"_s, beforeAction));
    ASSERT_TRUE(
        logMatches(uR"(info ai: fixGrammar ok in \d+ms \(in 12 out 7 tok\))"_s, beforeAction));
    ASSERT_TRUE(panelShows(corrected));
    ASSERT_TRUE(panelShows(u"12 in · 7 out"_s));

    ASSERT_EQ(m_relay.requests().size(), 1) << "step failed: one request to the hosted service";
    const LoopbackServer::Request& request = m_relay.requests().first();
    EXPECT_EQ(request.path, "/ai");
    EXPECT_EQ(request.json().value("action").toString(), "fixGrammar");
    EXPECT_EQ(request.json().value("text").toString(), sentence);

    const qsizetype beforeReplace = m_tray.mark();
    ASSERT_TRUE(press(u"alt+1"_s));
    ASSERT_TRUE(replaceCompleted(corrected, beforeReplace));
    EXPECT_EQ(readDefault(u"usagePromptTokens"_s), "12");
    EXPECT_EQ(readDefault(u"usageCompletionTokens"_s), "7");
}

INSTANTIATE_TEST_SUITE_P(E2e, RoadOfOneRequestTest,
                         ::testing::Values(CaptureRoute{"accessibility", "ax", false},
                                           CaptureRoute{"copy", "clipboard", true}),
                         rowName);

TEST_F(OwnKeyRoadTest, TranslateToGermanChosenInTheLanguageMenuGoesToTheOwnEndpoint)
{
    const QByteArray key = "sk-e2e-own-key-not-a-real-one";
    const QString german = u"Dieser Satz hat zwei Fehler."_s;
    LoopbackServer openAI;
    openAI.setReply(LoopbackServer::Reply::json(
        200,
        R"({"choices":[{"message":{"role":"assistant","content":"Dieser Satz hat zwei Fehler."}}],)"
        R"("usage":{"prompt_tokens":20,"completion_tokens":9}})"));
    ASSERT_TRUE(storeOwnKey(key));
    ASSERT_TRUE(writeDefault(u"useOwnAPIKey"_s, u"-bool"_s, u"true"_s));
    ASSERT_TRUE(writeDefault(u"openAIBaseURL"_s, u"-string"_s, openAI.baseURL()));
    ASSERT_TRUE(startTray());
    ASSERT_TRUE(openEditorWithSelection(sentence));
    ASSERT_TRUE(openPanelOnSelection(sentence));

    // The language menu is a popup, which Qt keeps out of the accessibility tree; once the
    // click has opened it, the keyboard walks it: German is the fifth language.
    const QStringList withoutMenu = visibleWindowsOf(m_tray.pid());
    const auto menuOpen = [&] { return visibleWindowsOf(m_tray.pid()) != withoutMenu; };
    ASSERT_TRUE(clickOnPanel(u"Language"_s));
    ASSERT_TRUE(waitUntil(menuOpen, 10s))
        << "step failed: the click on Language did not open the language menu";
    ASSERT_TRUE(press(u"Down Down Down Down Down Return"_s));
    ASSERT_TRUE(waitUntil([&] { return !menuOpen(); }, 10s))
        << "step failed: choosing German did not close the language menu";

    const qsizetype beforeAction = m_tray.mark();
    ASSERT_TRUE(press(u"alt+1"_s));
    ASSERT_TRUE(logShows(u"info ai: translate start (30 chars in)"_s, beforeAction));
    ASSERT_TRUE(
        logMatches(uR"(info ai: translate ok in \d+ms \(in 20 out 9 tok\))"_s, beforeAction));
    ASSERT_TRUE(panelShows(german));

    EXPECT_TRUE(m_relay.requests().isEmpty()) << "the hosted service was asked with the own key on";
    ASSERT_EQ(openAI.requests().size(), 1) << "step failed: one request to the own endpoint";
    const LoopbackServer::Request& request = openAI.requests().first();
    EXPECT_EQ(request.path, "/v1/chat/completions");
    // Compared, never printed: the key stays out of the test's output too.
    EXPECT_TRUE(request.header("Authorization") == "Bearer " + key)
        << "the request did not carry the stored key";
    const QString system =
        request.json().value("messages").toArray().first().toObject().value("content").toString();
    EXPECT_TRUE(system.contains(u"German"_s))
        << "the language chosen in the menu was not asked for: " << system.toStdString();

    const qsizetype beforeReplace = m_tray.mark();
    ASSERT_TRUE(press(u"alt+1"_s));
    ASSERT_TRUE(replaceCompleted(german, beforeReplace));
}

// The diagnostic switches: after the shortcut alone the tone runs and its result replaces
// the selection, with no other key pressed.
TEST_F(DiagnosticSwitchesTest, AutoActionAndAutoReplaceNeedOnlyTheShortcut)
{
    ASSERT_TRUE(writeDefault(u"autoAction"_s, u"-string"_s, u"rewrite-formal"_s));
    ASSERT_TRUE(writeDefault(u"autoReplace"_s, u"-bool"_s, u"true"_s));
    ASSERT_TRUE(startTray());
    ASSERT_TRUE(openEditorWithSelection(sentence));
    const qsizetype before = m_tray.mark();
    ASSERT_TRUE(press(u"alt+super+t"_s));
    ASSERT_TRUE(logShows(u"info app: autoAction: rewrite-formal"_s, before));
    ASSERT_TRUE(logShows(u"info app: autoReplace"_s, before));
    ASSERT_TRUE(replaceCompleted(corrected, before));
    ASSERT_EQ(m_relay.requests().size(), 1) << "step failed: one request to the hosted service";
    EXPECT_EQ(m_relay.requests().first().json().value("style").toString(), "formal");
}
