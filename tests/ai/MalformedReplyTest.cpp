// SPDX-License-Identifier: MIT
// Throws damaged, cut-off, mistyped and oversized replies at both back-ends: whatever
// arrives, the run flow must get a ProxyError with an origin it can log, and nothing may crash.
#include "AITestSupport.h"
#include "ai/AIGateway.h"
#include "settings/Preferences.h"

#include <QRegularExpression>

namespace {

using Reply = LoopbackServer::Reply;

class MalformedReplyTest : public AIBackendTest {};

TEST_F(MalformedReplyTest, EveryBrokenReplyEndsInAProxyErrorOfKnownOrigin)
{
    static const QRegularExpression knownOrigin(
        QStringLiteral("^(local|network|malformed|byo|UNKNOWN|[A-Z_]+): "));
    // Whatever the server sent, the user sees one clean line and the log one line.
    static const QRegularExpression controls(QStringLiteral("[\\x00-\\x1f\\x7f-\\x9f]"));
    const QByteArray hosted =
        R"({"text":"Fixed.","usage":{"prompt_tokens":3,"completion_tokens":2},"quota":{"remaining_tokens":10,"resets_at":"2026-04-01T00:00:00Z"}})";
    const QByteArray ownKey =
        R"({"choices":[{"message":{"role":"assistant","content":"Fixed."}}],"usage":{"prompt_tokens":3,"completion_tokens":2}})";
    // Bodies of the wrong types that the clients' own tables do not already hold.
    const QByteArray wrongTypes[] = {R"({"error":{"nested":1},"message":[]})", "null",
                                     R"({"choices":[null]})",
                                     R"({"text":"a","quota":{"remaining_tokens":1e400}})"};
    QByteArray noise(2000, Qt::Uninitialized);
    for (qsizetype i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919 + 13) & 0xff);

    for (const bool own : {false, true}) {
        setDefault(DefaultsKey::useOwnAPIKey, own);
        setDefault(DefaultsKey::proxyBaseURL, server.baseURL());
        setDefault(DefaultsKey::openAIBaseURL, server.baseURL());
        keyring.putKey("sk-test");
        const QByteArray valid = own ? ownKey : hosted;
        QList<Reply> replies = {
            Reply::json(200, noise),
            Reply::json(500, noise.left(300)),
            // nested far deeper than any parser should follow
            Reply::json(200, QByteArray(100'000, '[') + QByteArray(100'000, ']')),
            // five megabytes of something that is not the reply
            Reply::json(200, "{\"pad\":\"" + QByteArray(5 * 1024 * 1024, 'x') + "\"}"),
            // broken UTF-8 and NUL inside a string
            Reply::json(200, QByteArray("{\"text\":\"\xff\xfe\0\xc3\"", 15)),
            // the body stops before its announced length
            Reply::raw("HTTP/1.1 200 X\r\nContent-Length: 9000\r\n\r\n" + valid.left(20)),
            // headers that never finish
            Reply::raw("HTTP/1.1 200 OK\r\nContent-Le"),
            // a chunked body with nonsense chunk sizes
            Reply::raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nZZZ\r\n" +
                       noise.left(40)),
        };
        for (qsizetype cut = 1; cut < valid.size(); cut += 9) // cut off somewhere inside
            replies.append(Reply::json(cut % 2 ? 200 : 429, valid.left(cut)));
        for (const QByteArray& body : wrongTypes)
            replies.append(Reply::json(200, body));
        for (qsizetype i = 0; i < replies.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << (own ? "own key " : "hosted ") << i);
            server.setReply(replies[i]);
            const AIGateway::Result result =
                await(AIGateway(fakeClock, keyring.store, preferences)
                          .perform(TextAction::fixGrammar(), "text", Language::english()));
            ASSERT_TRUE(std::holds_alternative<ProxyError>(result));
            const ProxyError& error = std::get<ProxyError>(result);
            EXPECT_TRUE(knownOrigin.match(error.logDetail).hasMatch())
                << error.logDetail.toStdString();
            EXPECT_FALSE(controls.match(error.message + error.logDetail).hasMatch())
                << error.logDetail.toStdString();
        }
    }
}

} // namespace
