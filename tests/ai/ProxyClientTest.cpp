// SPDX-License-Identifier: MIT
#include "ai/ProxyClient.h"
#include "AITestSupport.h"

namespace {

class ProxyClientTest : public AIBackendTest {};

// A 2xx reply is read exactly; one without usable text names its size.
TEST_F(ProxyClientTest, SuccessfulReplies)
{
    const QDateTime resetUTC(QDate(2026, 4, 1), QTime(0, 0), Qt::UTC);
    const struct {
        const char* name;
        QByteArray body;
        std::optional<Completion> completion; // none: unusable
        std::optional<Quota> quota = {};
    } rows[] = {
        // clang-format off
        {"text kept exactly", R"({"text":"  <text>Hi</text>\n","usage":{"prompt_tokens":5,"completion_tokens":7}})", Completion{"  <text>Hi</text>\n", 5, 7}},
        {"no usage", R"({"text":"a"})", Completion{"a", 0, 0}},
        {"quota with fractional reset", R"({"text":"a","quota":{"remaining_tokens":900,"resets_at":"2026-04-01T00:00:00.250Z"}})", Completion{"a", 0, 0}, Quota{900, resetUTC}},
        {"quota without remaining tokens", R"({"text":"a","quota":{}})", Completion{"a", 0, 0}, Quota{0, {}}},
        {"unreadable reset time", R"({"text":"a","quota":{"remaining_tokens":1,"resets_at":"soon"}})", Completion{"a", 0, 0}, Quota{1, {}}},
        {"empty text", R"({"text":""})", {}}, {"not JSON", "not json", {}},
        {"token count as text", R"({"text":"a","usage":{"prompt_tokens":"5"}})", {}},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        server.setReply(LoopbackServer::Reply::json(200, row.body));
        const auto result = await(ProxyClient::complete(
            fakeClock, TextAction::fixGrammar(), "teh text", Language::english(), "credential-9",
            {server.baseURL(), "device-1", "1.2.3"}));
        if (row.completion) {
            ASSERT_TRUE(std::holds_alternative<ProxyWire::AIResult>(result));
            EXPECT_EQ(std::get<ProxyWire::AIResult>(result).completion, row.completion);
            EXPECT_EQ(std::get<ProxyWire::AIResult>(result).quota, row.quota);
        } else {
            EXPECT_EQ(
                std::get<ProxyError>(result),
                ProxyError::malformed(QStringLiteral("HTTP 200 with no usable `text` (%1 bytes)")
                                          .arg(row.body.size())));
        }
    }
}

} // namespace
