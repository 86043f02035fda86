// SPDX-License-Identifier: MIT
#include "ai/ProxyClient.h"
#include "AITestSupport.h"
#include "core/BuildConfig.h"
#include "settings/Preferences.h"

namespace {

class ProxyClientTest : public AIBackendTest {
protected:
    ProxyClient::Installation installation() { return {server.baseURL(), "device-1", "1.2.3"}; }

    ProxyClient::Result complete()
    {
        return await(ProxyClient::complete(fakeClock.clock, TextAction::fixGrammar(), "teh text",
                                           Language::english(), "credential-9", installation()));
    }
};

TEST_F(ProxyClientTest, PostsTheActionWithItsHeaders)
{
    server.setReply(LoopbackServer::Reply::json(200, R"({"text":"ok"})"));
    (void)await(ProxyClient::complete(fakeClock.clock, TextAction::translate(), "  Hallo\n",
                                      *Language::withID("de"), "credential-9", installation()));

    ASSERT_EQ(server.requests().size(), 1);
    const LoopbackServer::Request& request = server.requests().first();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/ai");
    EXPECT_EQ(request.header("Content-Type"), "application/json");
    EXPECT_EQ(request.header("Authorization"), "Bearer credential-9");
    EXPECT_EQ(request.header("X-Device-Id"), "device-1");
    EXPECT_EQ(request.header("X-App-Version"), "1.2.3");
}

TEST_F(ProxyClientTest, SuccessfulReplies)
{
    using Quota = ::Quota;
    const QDateTime resetUTC(QDate(2026, 4, 1), QTime(0, 0), Qt::UTC);
    struct Row {
        const char* name;
        QByteArray body;
        Completion completion;
        std::optional<Quota> quota;
    };
    // clang-format off
    const Row rows[] = {
        {"text kept exactly", R"({"text":"  <text>Hi</text>\n","usage":{"prompt_tokens":5,"completion_tokens":7}})", {"  <text>Hi</text>\n", 5, 7}, std::nullopt},
        {"no usage", R"({"text":"a"})", {"a", 0, 0}, std::nullopt},
        {"quota with fractional reset", R"({"text":"a","quota":{"remaining_tokens":900,"resets_at":"2026-04-01T00:00:00.250Z"}})", {"a", 0, 0}, Quota{900, resetUTC}},
        {"quota without remaining tokens", R"({"text":"a","quota":{}})", {"a", 0, 0}, Quota{0, {}}},
        {"unreadable reset time", R"({"text":"a","quota":{"remaining_tokens":1,"resets_at":"soon"}})", {"a", 0, 0}, Quota{1, {}}},
        {"unknown keys ignored", R"({"text":"a","model":"x","usage":{"total_tokens":3}})", {"a", 0, 0}, std::nullopt},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        server.setReply(LoopbackServer::Reply::json(200, row.body));
        const auto result = complete();
        ASSERT_TRUE(std::holds_alternative<ProxyWire::AIResult>(result));
        EXPECT_EQ(std::get<ProxyWire::AIResult>(result).completion, row.completion);
        EXPECT_EQ(std::get<ProxyWire::AIResult>(result).quota, row.quota);
    }
}

TEST_F(ProxyClientTest, UnusableSuccessRepliesNameTheirSize)
{
    const QByteArray bodies[] = {R"({"text":""})",
                                 "not json",
                                 "",
                                 R"({"text":null})",
                                 R"({"text":5})",
                                 R"({"text":"a","usage":{"prompt_tokens":"5"}})",
                                 R"({"text":"a","quota":[]})",
                                 "[]"};
    for (const QByteArray& body : bodies) {
        SCOPED_TRACE(body.toStdString());
        server.setReply(LoopbackServer::Reply::json(200, body));
        EXPECT_EQ(
            std::get<ProxyError>(complete()),
            ProxyError::malformed(
                QStringLiteral("HTTP 200 with no usable `text` (%1 bytes)").arg(body.size())));
    }
}

TEST_F(ProxyClientTest, InstallationComesFromThePreferences)
{
    EXPECT_EQ(ProxyClient::baseURL(), QString::fromUtf8(BuildConfig::proxyBaseURL));
    setDefault(DefaultsKey::proxyBaseURL, "https://ai.example.org/functions/v1");
    const ProxyClient::Installation current = ProxyClient::currentInstallation();
    EXPECT_EQ(current.baseURL, "https://ai.example.org/functions/v1");
    EXPECT_EQ(current.deviceID, Preferences::deviceID());
    EXPECT_FALSE(current.deviceID.isEmpty());
}

} // namespace
