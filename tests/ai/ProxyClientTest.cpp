// SPDX-License-Identifier: MIT
#include "ai/ProxyClient.h"
#include "AITestSupport.h"
#include "core/BuildConfig.h"
#include "settings/Preferences.h"

using namespace std::chrono_literals;

namespace {

class ProxyClientTest : public AIBackendTest {
protected:
    ProxyClient::Installation installation(QString version = "1.2.3")
    {
        return {server.baseURL(), "device-1", std::move(version)};
    }

    ProxyClient::Result complete(TextAction action = TextAction::fixGrammar(),
                                 QString text = "teh text")
    {
        return await(ProxyClient::complete(action, text, Language::english(), "credential-9",
                                           installation()));
    }

    static ProxyError errorOf(const ProxyClient::Result& result)
    {
        EXPECT_TRUE(std::holds_alternative<ProxyError>(result));
        return std::holds_alternative<ProxyError>(result) ? std::get<ProxyError>(result)
                                                          : ProxyError{};
    }
};

TEST_F(ProxyClientTest, PostsTheActionWithItsHeaders)
{
    server.setReply(LoopbackServer::Reply::json(200, R"({"text":"ok"})"));
    (void)await(ProxyClient::complete(TextAction::translate(), "  Hallo\n", *Language::withID("de"),
                                      "credential-9", installation()));

    ASSERT_EQ(server.requests().size(), 1);
    const LoopbackServer::Request& request = server.requests().first();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/ai");
    EXPECT_EQ(request.header("Content-Type"), "application/json");
    EXPECT_EQ(request.header("Authorization"), "Bearer credential-9");
    EXPECT_EQ(request.header("X-Device-Id"), "device-1");
    EXPECT_EQ(request.header("X-App-Version"), "1.2.3");
    EXPECT_EQ(
        request.json(),
        QJsonObject({{"action", "translate"}, {"targetLanguage", "de"}, {"text", "  Hallo\n"}}));
}

TEST_F(ProxyClientTest, AVersionWithASuffixIsNotSent)
{
    server.setReply(LoopbackServer::Reply::json(200, R"({"text":"ok"})"));
    for (const QString& version : {QStringLiteral("1.2.3-beta"), QStringLiteral("unknown")}) {
        (void)await(ProxyClient::complete(TextAction::fixGrammar(), "t", Language::english(), "c",
                                          installation(version)));
    }
    ASSERT_EQ(server.requests().size(), 2);
    for (const auto& request : server.requests())
        EXPECT_FALSE(request.header("X-App-Version"));
}

TEST_F(ProxyClientTest, CustomInstructionsAreNeverSent)
{
    const ProxyError error = errorOf(complete(TextAction::custom("make it rhyme")));
    EXPECT_EQ(error,
              ProxyError({std::nullopt, "Custom instructions only work with your own OpenAI key.",
                          "local: TextAction.custom is not in the server allow-list",
                          ErrorRecovery::none}));
    EXPECT_TRUE(server.requests().isEmpty());
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
    const Row rows[] = {
        {"text kept exactly",
         R"({"text":"  <text>Hi</text>\n","usage":{"prompt_tokens":5,"completion_tokens":7}})",
         {"  <text>Hi</text>\n", 5, 7},
         std::nullopt},
        {"no usage", R"({"text":"a"})", {"a", 0, 0}, std::nullopt},
        {"quota with fractional reset",
         R"({"text":"a","quota":{"remaining_tokens":900,"resets_at":"2026-04-01T00:00:00.250Z"}})",
         {"a", 0, 0},
         Quota{900, resetUTC}},
        {"quota without remaining tokens", R"({"text":"a","quota":{}})", {"a", 0, 0}, Quota{0, {}}},
        {"unreadable reset time",
         R"({"text":"a","quota":{"remaining_tokens":1,"resets_at":"soon"}})",
         {"a", 0, 0},
         Quota{1, {}}},
        {"unknown keys ignored",
         R"({"text":"a","model":"x","usage":{"total_tokens":3}})",
         {"a", 0, 0},
         std::nullopt},
    };
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
    const QByteArray bodies[] = {
        R"({"text":""})",
        "not json",
        "",
        R"({"text":null})",
        R"({"text":5})",
        R"({"text":"a","usage":{"prompt_tokens":"5"}})",
        R"({"text":"a","quota":[]})",
        "[]",
    };
    for (const QByteArray& body : bodies) {
        SCOPED_TRACE(body.toStdString());
        server.setReply(LoopbackServer::Reply::json(200, body));
        EXPECT_EQ(
            errorOf(complete()),
            ProxyError::malformed(
                QStringLiteral("HTTP 200 with no usable `text` (%1 bytes)").arg(body.size())));
    }
}

TEST_F(ProxyClientTest, AddressesThatCannotBeUsed)
{
    struct Row {
        const char* name;
        QString baseURL;
        ProxyError expected;
    };
    const QString refusing = refusingBaseURL();
    const Row rows[] = {
        {"not a URL", "not a url", ProxyError::malformed("bad base URL: not a url")},
        {"space in the host", "http://exa mple.com",
         ProxyError::malformed("bad base URL: http://exa mple.com")},
        {"not HTTP", "ftp://127.0.0.1", ProxyError::malformed("non-HTTP response")},
        {"nothing listening", refusing,
         ProxyError::network("Connection refused", NetworkFailure::refused, refusing)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto result = await(ProxyClient::complete(
            TextAction::fixGrammar(), "t", Language::english(), "c", {row.baseURL, "d", "1.0"}));
        EXPECT_EQ(errorOf(result), row.expected);
    }
    EXPECT_TRUE(server.requests().isEmpty());
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
