// SPDX-License-Identifier: MIT
// The failures a person meets on the way, each ending in the panel with its message: no
// service chosen, the service out of reach, a selection over the limit, and Replace after the
// editor has quit. (No selection at all: PanelTriggerTest.)
#include "E2eTest.h"

#include <QProcess>
#include <QTcpServer>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

using ErrorPathsTest = E2eTest;

// An address on which nothing listens: a port the system just handed out and took back.
QString deadAddress()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost))
        return {};
    return u"http://127.0.0.1:%1"_s.arg(server.serverPort());
}

} // namespace

// How each failure of the service reads is the AI layer's table; this is the road to the panel.
TEST_F(ErrorPathsTest, AServiceOutOfReachShowsItsMessageInThePanel)
{
    const QString address = deadAddress();
    ASSERT_TRUE(writeDefault(u"proxyBaseURL"_s, u"-string"_s, address));
    ASSERT_TRUE(startTray());
    ASSERT_TRUE(openEditorWithSelection(sentence));
    ASSERT_TRUE(openPanelOnSelection(sentence));

    const qsizetype beforeAction = m_tray.mark();
    ASSERT_TRUE(press(u"alt+2"_s));
    ASSERT_TRUE(logShows(u"info ai: fixGrammar start (30 chars in)"_s, beforeAction));
    ASSERT_TRUE(logMatches(u"error ai: fixGrammar failed: network: .+"_s, beforeAction));
    ASSERT_TRUE(panelShows(u"Nothing answered at %1 — is the server running?"_s.arg(address)));
    EXPECT_EQ(readDefault(u"usagePromptTokens"_s), "") << "a failed call was counted";
}

TEST_F(ErrorPathsTest, WithoutAServiceThePanelAsksForOneAndNothingIsSent)
{
    // Fresh settings: nothing chosen and no relay address in this build. The server stands
    // where an OpenAI-compatible choice would send the text, had one been made.
    ASSERT_TRUE(runCommand(u"forgetting the relay address"_s,
                           {u"defaults"_s, u"delete"_s, u"proxyBaseURL"_s}));
    ASSERT_TRUE(writeDefault(u"openAIBaseURL"_s, u"-string"_s, m_relay.baseURL()));
    ASSERT_TRUE(startTray());
    ASSERT_TRUE(openEditorWithSelection(sentence));
    ASSERT_TRUE(openPanelOnSelection(sentence));

    const qsizetype beforeAction = m_tray.mark();
    ASSERT_TRUE(press(u"alt+2"_s));
    ASSERT_TRUE(logShows(u"error ai: fixGrammar failed: local: no AI service is configured"_s,
                         beforeAction));
    ASSERT_TRUE(panelShows(u"Connect an AI service to use Quillmark"_s));

    // Alt+1 presses the one button there: the settings window, at the AI service.
    const qsizetype beforeKey = m_tray.mark();
    ASSERT_TRUE(press(u"alt+1"_s));
    ASSERT_TRUE(logShows(u"info app: panel dismissed (open settings)"_s, beforeKey));
    EXPECT_TRUE(waitUntil([this] {
        return !visibleWindowsOf(m_tray.pid()).filter(u"Quillmark Settings"_s).isEmpty();
    })) << "the settings window did not open";
    EXPECT_EQ(m_relay.connections(), 0) << "a connection was opened without a service";
}

TEST_F(ErrorPathsTest, ASelectionOverTheLimitIsRefusedWithoutSendingIt)
{
    const QString text = u"lorem ipsum dolor sit amet "_s.repeated(500).left(12'001);
    ASSERT_TRUE(startTray());
    ASSERT_TRUE(openEditorWithSelection(text));
    ASSERT_TRUE(openPanelOnSelection(text));

    const qsizetype beforeAction = m_tray.mark();
    ASSERT_TRUE(press(u"alt+2"_s));
    ASSERT_TRUE(panelShows(u"Selection too large (12001 / 12,000 characters)."_s));
    EXPECT_TRUE(m_tray.lines().mid(beforeAction).filter(u"fixGrammar start"_s).isEmpty())
        << "the action started anyway";
    EXPECT_TRUE(m_relay.requests().isEmpty()) << "the long selection was sent";
}

TEST_F(ErrorPathsTest, ReplaceAfterTheEditorQuitPutsTheResultOnTheClipboard)
{
    ASSERT_TRUE(startTray());
    ASSERT_TRUE(openEditorWithSelection(sentence));
    ASSERT_TRUE(openPanelOnSelection(sentence));
    ASSERT_TRUE(press(u"alt+2"_s));
    ASSERT_TRUE(panelShows(corrected));

    ASSERT_TRUE(m_editor.quit()) << "step failed: mousepad did not quit on Ctrl+Q";
    const qsizetype beforeReplace = m_tray.mark();
    ASSERT_TRUE(press(u"alt+1"_s));
    ASSERT_TRUE(panelShows(u"The original app is no longer running. The result was copied to "
                           u"your clipboard instead."_s));
    QByteArray copied;
    EXPECT_TRUE(waitUntil(
        [&] {
            return (copied = selectionBytes(u"clipboard"_s, u"UTF8_STRING"_s)) ==
                   corrected.toUtf8();
        },
        5s))
        << "step failed: the clipboard after Replace held \"" << copied.toStdString() << '"';
    EXPECT_TRUE(m_tray.lines().mid(beforeReplace).filter(u"panel dismissed"_s).isEmpty())
        << "the panel was closed instead of showing the message";
}

TEST_F(ErrorPathsTest, ASecondTriggerDuringTheCaptureIsIgnoredAndTheClipboardSurvives)
{
    ASSERT_TRUE(writeDefault(u"forceClipboardCapture"_s, u"-bool"_s, u"true"_s));
    ASSERT_TRUE(startTray());
    ASSERT_TRUE(openEditorWithSelection(sentence));

    // `quillmark trigger` twice, 40 ms apart, while the Alt of the shortcut bound to it is
    // still held, so the second one surely lands while the first capture waits for it.
    ASSERT_TRUE(xdotool({u"keydown"_s, u"Alt_L"_s}));
    const qsizetype beforeTriggers = m_tray.mark();
    QProcess first, second;
    first.start(binary(), {u"trigger"_s});
    QTimer::singleShot(40ms, [&] { second.start(binary(), {u"trigger"_s}); });
    EXPECT_TRUE(waitUntil([&] {
        return first.state() == QProcess::NotRunning && second.state() == QProcess::NotRunning &&
               first.exitCode() == 0 && second.exitCode() == 0;
    }));
    ASSERT_TRUE(xdotool({u"keyup"_s, u"Alt_L"_s}));
    ASSERT_TRUE(
        logShows(u"info app: trigger ignored — capture or paste in flight"_s, beforeTriggers));
    ASSERT_TRUE(panelShows(sentence));
    ASSERT_TRUE(clipboardIsEarlierItem(u"the overlapping captures lost the clipboard"_s));
}
