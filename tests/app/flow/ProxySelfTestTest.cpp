// SPDX-License-Identifier: MIT
// The diagnostic run of the AI path at launch, switched on by the "proxySelfTest" default.
#include "FlowTestSupport.h"
#include "ai/KeychainHelper.h"
#include "ai/ProxyWire.h"

namespace {

using ProxySelfTestTest = FlowTest;

TEST_F(ProxySelfTestTest, RunsTheFixedSentenceAtLaunchAndLogsTheOutcome)
{
    const QByteArray failure = R"({"text":""})";
    const ProxyError error = std::get<ProxyError>(ProxyWire::decodeReply(failure));
    const struct {
        const char* flag;
        bool ownKey;
        QByteArray reply;
        QStringList lines; // after the launch line
    } rows[] = {
        {"fixGrammar",
         false,
         R"({"text":"This sentence has two mistakes.","usage":{"prompt_tokens":31,)"
         R"("completion_tokens":8},"quota":{"remaining_tokens":9000}})",
         {"info ai: selftest fixGrammar start (proxy=true)",
          "info ai: selftest ok — in 31 out 8 tok, quota 9000 left · result: This sentence has "
          "two mistakes."}},
        // With the own key it goes straight to OpenAI.
        {"rewrite-casual",
         true,
         R"({"choices":[{"message":{"role":"assistant","content":"Fixed."}}],)"
         R"("usage":{"prompt_tokens":3,"completion_tokens":2}})",
         {"info ai: selftest rewrite-casual start (proxy=false)",
          "info ai: selftest ok — in 3 out 2 tok, quota -1 left · result: Fixed."}},
        {"translate",
         false,
         failure,
         {"info ai: selftest translate start (proxy=true)",
          "error ai: selftest failed — " + error.logDetail + " · shows: " + error.message +
              " · recovery: retry"}},
        // Unreadable switches run nothing.
        {"fixgrammar", false, failure, {}},
        {"rewrite-Formal", false, failure, {}},
        {"", false, failure, {}},
    };
    secrets.put(KeychainHelper::service, KeychainHelper::openAIAccount, "sk-own");
    setDefault(DefaultsKey::openAIBaseURL, server.baseURL());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.flag);
        setDefault(DefaultsKey::useOwnAPIKey, row.ownKey);
        setDefault(DefaultsKey::proxySelfTest, row.flag);
        server.setReply(LoopbackServer::Reply::json(200, row.reply));
        const auto requests = server.requests().size();
        const qsizetype skip = delegate ? 0 : 1; // the launch line
        if (!delegate) {
            launch(); // the first row runs as the launch's own step
        } else {
            clearLog();
            delegate->runProxySelfTestIfRequested();
        }
        EXPECT_TRUE(waitUntil([&] { return logLines().size() >= row.lines.size() + skip; }));
        EXPECT_EQ(logLines().mid(skip), row.lines);
        EXPECT_EQ(server.requests().size(), requests + (row.lines.isEmpty() ? 0 : 1));
        // The panel is never touched by the self-test.
        EXPECT_EQ(state(), PopoverState::noSelection());
        EXPECT_EQ(delegate->generation(), 0);
        EXPECT_TRUE(desktop.journal.entriesStartingWith("popover.show").isEmpty());
    }
    EXPECT_EQ(server.requests().first().json().value("text"), "this sentance have two mistake");
}

} // namespace
