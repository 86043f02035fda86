// SPDX-License-Identifier: MIT
// Throws damaged, cut-off and oversized replies at both back-ends: whatever arrives, the
// run flow must get a ProxyError with an origin it can log, and nothing may crash.
#include "AITestSupport.h"
#include "ai/AIGateway.h"
#include "settings/Preferences.h"

#include <QRegularExpression>
#include <random>

namespace {

class ReplyGenerator {
public:
    // `validBody` is a reply the client would accept; every body made here is broken.
    ReplyGenerator(uint32_t seed, QByteArray validBody, QList<QByteArray> wrongTypes)
        : m_random(seed)
        , m_valid(std::move(validBody))
        , m_wrongTypes(std::move(wrongTypes))
    {}

    LoopbackServer::Reply next()
    {
        static const int statuses[] = {200, 200, 200, 201, 299, 400, 401, 404, 429, 500, 502};
        const int status = statuses[pick(std::size(statuses))];
        switch (pick(9)) {
        case 0:
            return LoopbackServer::Reply::json(status, randomBytes(pick(2000)));
        case 1: // cut off somewhere inside
            return LoopbackServer::Reply::json(status, m_valid.left(pick(m_valid.size())));
        case 2:
            return LoopbackServer::Reply::json(status, m_wrongTypes[pick(m_wrongTypes.size())]);
        case 3: // nested far deeper than any parser should follow
            return LoopbackServer::Reply::json(status,
                                               QByteArray(100'000, '[') + QByteArray(100'000, ']'));
        case 4: // five megabytes of something that is not the reply
            return LoopbackServer::Reply::json(
                status, "{\"pad\":\"" + QByteArray(5 * 1024 * 1024, 'x') + "\"}");
        case 5: // broken UTF-8 and NUL inside a string
            return LoopbackServer::Reply::json(status,
                                               QByteArray("{\"text\":\"\xff\xfe\0\xc3\"", 15));
        case 6: // the body stops before its announced length
            return LoopbackServer::Reply::raw("HTTP/1.1 " + QByteArray::number(status) +
                                              " X\r\nContent-Length: 9000\r\n\r\n" +
                                              m_valid.left(pick(m_valid.size())));
        case 7: // headers that never finish
            return LoopbackServer::Reply::raw("HTTP/1.1 200 OK\r\nContent-Le");
        default: // a chunked body with nonsense chunk sizes
            return LoopbackServer::Reply::raw(
                "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nZZZ\r\n" + randomBytes(40));
        }
    }

private:
    qsizetype pick(qsizetype bound)
    {
        return bound <= 0 ? 0 : qsizetype(m_random() % uint32_t(bound));
    }

    QByteArray randomBytes(qsizetype size)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        for (char& byte : bytes)
            byte = char(m_random() & 0xff);
        return bytes;
    }

    std::mt19937 m_random;
    QByteArray m_valid;
    QList<QByteArray> m_wrongTypes;
};

class MalformedReplyTest : public AIBackendTest {
protected:
    void expectEveryReplyEndsAsProxyError(ReplyGenerator generator, int count)
    {
        static const QRegularExpression knownOrigin(
            QStringLiteral("^(local|network|malformed|byo|UNKNOWN|[A-Z_]+): "));
        // Whatever the server sent, the user sees one clean line and the log one line.
        static const QRegularExpression controls(QStringLiteral("[\\x00-\\x1f\\x7f-\\x9f]"));
        for (int i = 0; i < count; ++i) {
            SCOPED_TRACE(i);
            server.setReply(generator.next());
            const AIGateway::Result result =
                await(AIGateway(fakeClock.clock, keyring.store)
                          .perform(TextAction::fixGrammar(), "text", Language::english()));
            ASSERT_TRUE(std::holds_alternative<ProxyError>(result));
            const ProxyError& error = std::get<ProxyError>(result);
            EXPECT_TRUE(knownOrigin.match(error.logDetail).hasMatch())
                << error.logDetail.toStdString();
            EXPECT_FALSE(controls.match(error.message + error.logDetail).hasMatch())
                << error.logDetail.toStdString();
        }
    }
};

TEST_F(MalformedReplyTest, HostedService)
{
    setDefault(DefaultsKey::proxyBaseURL, server.baseURL());
    ReplyGenerator generator(
        20260315,
        R"({"text":"Fixed.","usage":{"prompt_tokens":3,"completion_tokens":2},"quota":{"remaining_tokens":10,"resets_at":"2026-04-01T00:00:00Z"}})",
        {R"({"text":7})", R"({"text":"a","usage":[1]})",
         R"({"text":"a","usage":{"prompt_tokens":true}})",
         R"({"text":"a","quota":{"remaining_tokens":1e400}})",
         R"({"text":"a","quota":{"resets_at":5}})", R"({"text":["a"]})",
         R"({"error":{"nested":1},"message":[]})", "null", "\"text\""});
    expectEveryReplyEndsAsProxyError(std::move(generator), 60);
}

TEST_F(MalformedReplyTest, OwnKey)
{
    setDefault(DefaultsKey::useOwnAPIKey, true);
    setDefault(DefaultsKey::openAIBaseURL, server.baseURL());
    keyring.putKey("sk-test");
    ReplyGenerator generator(
        4242,
        R"({"choices":[{"message":{"role":"assistant","content":"Fixed."}}],"usage":{"prompt_tokens":3,"completion_tokens":2}})",
        {R"({"choices":{}})", R"({"choices":[null]})", R"({"choices":[{"message":"Fixed."}]})",
         R"({"choices":[{"message":{"content":["a"]}}]})",
         R"({"choices":[{"message":{"content":"a"}}],"usage":{"completion_tokens":-1.5}})",
         R"({"choices":[{"message":{"content":"a"}}],"usage":"many"})",
         R"({"error":{"message":7}})", "[]", "0"});
    expectEveryReplyEndsAsProxyError(std::move(generator), 60);
}

} // namespace
