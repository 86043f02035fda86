// SPDX-License-Identifier: MIT
// The diagnostic run of the AI path at launch, switched on by the "proxySelfTest" default.
#include "FlowTestSupport.h"
#include "ai/KeychainHelper.h"
#include "ai/ProxyWire.h"

namespace {

class ProxySelfTestTest : public FlowTest {
protected:
    // Launches with the switch set and answers the lines logged after the launch line
    // once `count` of them are there.
    QStringList launchAndCollect(const QString& flag, qsizetype count)
    {
        setDefault(DefaultsKey::proxySelfTest, flag);
        launch();
        EXPECT_TRUE(waitUntil([&] { return logLines().size() >= count + 1; }));
        return logLines().mid(1);
    }

    // The panel is never touched by the self-test.
    void expectPanelUntouched()
    {
        EXPECT_EQ(state(), PopoverState::noSelection());
        EXPECT_FALSE(desktop.popover->isPanelVisible());
        EXPECT_EQ(delegate->generation(), 0);
        EXPECT_TRUE(desktop.journal.entriesStartingWith("popover.show").isEmpty());
    }
};

TEST_F(ProxySelfTestTest, RunsTheFixedSentenceThroughTheHostedService)
{
    server.setReply(
        LoopbackServer::Reply::json(200, R"({"text":"This sentence has two mistakes.",)"
                                         R"("usage":{"prompt_tokens":31,"completion_tokens":8},)"
                                         R"("quota":{"remaining_tokens":9000}})"));
    const QStringList lines = launchAndCollect("fixGrammar", 2);

    EXPECT_EQ(lines, QStringList({"info ai: selftest fixGrammar start (proxy=true)",
                                  "info ai: selftest ok — in 31 out 8 tok, quota 9000 left · "
                                  "result: This sentence has two mistakes."}));
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().json().value("text"), "this sentance have two mistake");
    expectPanelUntouched();
}

TEST_F(ProxySelfTestTest, WithTheOwnKeyItGoesStraightToOpenAI)
{
    setDefault(DefaultsKey::useOwnAPIKey, true);
    setDefault(DefaultsKey::openAIBaseURL, server.baseURL());
    secrets.put(KeychainHelper::service, KeychainHelper::openAIAccount, "sk-own");
    server.setReply(LoopbackServer::Reply::json(
        200, R"({"choices":[{"message":{"role":"assistant","content":"Fixed."}}],)"
             R"("usage":{"prompt_tokens":3,"completion_tokens":2}})"));
    const QStringList lines = launchAndCollect("rewrite-casual", 2);

    EXPECT_EQ(
        lines,
        QStringList({"info ai: selftest rewrite-casual start (proxy=false)",
                     "info ai: selftest ok — in 3 out 2 tok, quota -1 left · result: Fixed."}));
    expectPanelUntouched();
}

TEST_F(ProxySelfTestTest, AFailureIsLoggedWithWhatThePanelWouldShow)
{
    const QByteArray body = R"({"text":""})";
    server.setReply(LoopbackServer::Reply::json(200, body));
    const QStringList lines = launchAndCollect("translate", 2);

    const ProxyError error = std::get<ProxyError>(ProxyWire::decodeReply(body));
    EXPECT_EQ(lines, QStringList({"info ai: selftest translate start (proxy=true)",
                                  "error ai: selftest failed — " + error.logDetail +
                                      " · shows: " + error.message + " · recovery: retry"}));
    expectPanelUntouched();
}

TEST_F(ProxySelfTestTest, AnUnreadableSwitchRunsNothing)
{
    launch();
    clearLog();
    for (const QString flag : {"fixgrammar", "rewrite-Formal", ""}) {
        SCOPED_TRACE(flag.toStdString());
        setDefault(DefaultsKey::proxySelfTest, flag);
        delegate->runProxySelfTestIfRequested();
    }
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_TRUE(server.requests().isEmpty());
}

} // namespace
