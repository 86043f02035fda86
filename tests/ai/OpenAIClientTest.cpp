// SPDX-License-Identifier: MIT
#include "ai/OpenAIClient.h"
#include "AITestSupport.h"

#include <QJsonArray>

using namespace std::chrono_literals;

namespace {

const QString undecodable =
    QStringLiteral("The data couldn't be read because it isn't in the correct format.");
const HttpExchange::TransportError notAnAPI{undecodable, NetworkFailure::notAnAPI};
const QByteArray chatA = R"({"choices":[{"message":{"content":"a"}}]})";

class OpenAIClientTest : public AIBackendTest {
protected:
    OpenAIClient::Result complete(const QString& baseURL)
    {
        return await(OpenAIClient::complete(fakeClock, "system text", "<text>\nHi\n</text>",
                                            "gpt-4o-mini", "sk-test", baseURL));
    }
    OpenAIClient::Result complete() { return complete(server.baseURL()); }
};

struct ReplyRow {
    const char* name;
    int status;
    QByteArray body;
    OpenAIClient::Result expected;
};

TEST_F(OpenAIClientTest, TurnsEachReplyIntoItsResult)
{
    // clang-format off
    const ReplyRow rows[] = {
        {"content returned untouched", 200, R"({"id":"x","choices":[{"index":0,"message":{"role":"assistant","content":"  <text>Hallo</text>\n"}}],"usage":{"prompt_tokens":12,"completion_tokens":3,"total_tokens":15}})", Completion{"  <text>Hallo</text>\n", 12, 3}},
        {"no usage counts zero", 200, chatA, Completion{"a", 0, 0}},
        {"first choice wins", 200, R"({"choices":[{"message":{"content":"one"}},{"message":{"content":"two"}}]})", Completion{"one", 0, 0}},
        {"any 2xx is success", 201, chatA, Completion{"a", 0, 0}},
        {"content null", 200, R"({"choices":[{"message":{"content":null}}]})", OpenAIError{"Empty response from model"}},
        {"content missing", 200, R"({"choices":[{"message":{"role":"assistant"}}]})", OpenAIError{"Empty response from model"}},
        {"not JSON", 200, "<html>gateway</html>", notAnAPI},
        {"later choice broken", 200, R"({"choices":[{"message":{"content":"a"}},7]})", notAnAPI},
        {"fractional token count", 200, R"({"choices":[{"message":{"content":"a"}}],"usage":{"prompt_tokens":1.5}})", notAnAPI},
        {"500 that is not JSON", 500, "Internal Server Error", OpenAIError{"HTTP 500", false}},
        {"error that is a string", 400, R"({"error":"bad"})", OpenAIError{"HTTP 400", false}},
        {"error without message", 404, R"({"error":{"code":"model_not_found"}})", OpenAIError{"HTTP 404", false}},
    };
    // clang-format on
    for (const ReplyRow& row : rows) {
        SCOPED_TRACE(row.name);
        server.setReply(LoopbackServer::Reply::json(row.status, row.body));
        EXPECT_EQ(complete(), row.expected);
    }
    // An authentication challenge is no reason to ask again.
    server.setReply(LoopbackServer::Reply::json(401, R"({"error":{"message":"Invalid key"}})")
                        .withHeader("WWW-Authenticate", R"(Bearer realm="OpenAI")"));
    const qsizetype before = server.requests().size();
    EXPECT_EQ(complete(), OpenAIClient::Result(OpenAIError{"Invalid key", true}));
    EXPECT_EQ(server.requests().size(), before + 1);
}

// Unparsable, non-HTTP and refusing addresses are also in the gateway's failure catalogue.
TEST_F(OpenAIClientTest, EndpointUnderAnyBaseAddressAndNothingSentToAnUnusableOne)
{
    EXPECT_EQ(complete("http://exa mple.com"),
              OpenAIClient::Result(OpenAIError{"Bad endpoint URL"}));
    server.setReply(LoopbackServer::Reply::json(200, chatA));
    const std::pair<QString, QByteArray> rows[] = {{"", "/v1/chat/completions"},
                                                   {"/", "/v1/chat/completions"},
                                                   {"/compat//", "/compat/v1/chat/completions"}};
    for (const auto& [suffix, path] : rows) {
        EXPECT_EQ(complete(server.baseURL() + suffix), OpenAIClient::Result(Completion{"a", 0, 0}));
        EXPECT_EQ(server.requests().last().path, path) << suffix.toStdString();
    }
    EXPECT_EQ(server.requests().size(), 3);
}

TEST_F(OpenAIClientTest, GivesUpAfterSixtySecondsOnTheClock)
{
    server.setReply(LoopbackServer::Reply::silence());
    server.onRequest = [this](const LoopbackServer::Request&) {
        // The time-out is the one sleeper on the clock; it must still wait a millisecond
        // before the minute is full.
        fakeClock.advance(59'999ms);
        EXPECT_EQ(fakeClock.pendingSleeps(), 1);
        fakeClock.advance(1ms);
        EXPECT_EQ(fakeClock.pendingSleeps(), 0);
    };
    EXPECT_EQ(complete(), OpenAIClient::Result(HttpExchange::TransportError{
                              "The request timed out.", NetworkFailure::timedOut}));
    EXPECT_EQ(server.requests().size(), 1);
}

TEST_F(OpenAIClientTest, ARedirectToAnotherServerIsNotFollowed)
{
    // The key must not follow a redirect to another server.
    LoopbackServer elsewhere;
    elsewhere.setReply(LoopbackServer::Reply::json(200, chatA));
    server.enqueue(LoopbackServer::Reply::json(307, "").withHeader(
        "Location", (elsewhere.baseURL() + "/steal").toUtf8()));
    EXPECT_TRUE(std::holds_alternative<HttpExchange::TransportError>(complete()));
    EXPECT_TRUE(elsewhere.requests().isEmpty());
}

} // namespace
