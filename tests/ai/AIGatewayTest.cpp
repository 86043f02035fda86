// SPDX-License-Identifier: MIT
#include "ai/AIGateway.h"
#include "AITestSupport.h"
#include "ai/Prompts.h"
#include "settings/Preferences.h"

#include <QJsonArray>

namespace {

const QString unreachable = QStringLiteral(
    "Couldn't reach Quillmark's AI service. Check your internet connection and try again.");
const QString unexpected =
    QStringLiteral("Quillmark got an unexpected reply from the AI service. Please try again.");

// The "bad" ones hold a credential with a line break and a header after it.
enum class Backend {
    none,
    openAIWithoutKey,
    ownKey,
    ownKeyBad,
    hosted,
    hostedBadToken,
    hostedBadDevice
};
enum class Address { loopback, refusing, unknownHost, unparsable, notHttp };

class AIGatewayTest : public AIBackendTest {
protected:
    // Answers the base address chosen ("" when none).
    QString choose(Backend backend, Address address)
    {
        const bool hosted = backend >= Backend::hosted;
        if (backend == Backend::none) {
            setDefault(DefaultsKey::proxyBaseURL, "");
            return {};
        }
        setDefault(DefaultsKey::useOwnAPIKey, !hosted);
        if (backend == Backend::openAIWithoutKey)
            setDefault(DefaultsKey::aiService, "openai");
        if (backend == Backend::ownKey || backend == Backend::ownKeyBad)
            keyring.putKey(backend == Backend::ownKey ? "sk-test" : "sk-test\r\nX-Injected: 1");
        if (backend == Backend::hostedBadToken)
            setDefault(DefaultsKey::proxyToken, "token\r\nX-Injected: 1");
        if (backend == Backend::hostedBadDevice)
            setDefault(DefaultsKey::deviceID, "device\nX-Injected: 1");
        LoopbackServer& target = hosted ? server : openAI;
        const QString url = address == Address::loopback   ? target.baseURL()
                            : address == Address::refusing ? refusingBaseURL()
                            : address == Address::unknownHost
                                ? QStringLiteral("http://no.such.host.invalid")
                            : address == Address::unparsable ? QStringLiteral("not a url")
                                                             : QStringLiteral("ftp://127.0.0.1");
        setDefault(hosted ? DefaultsKey::proxyBaseURL : DefaultsKey::openAIBaseURL, url);
        return url;
    }

    AIGateway::Result perform(TextAction action, QString text = "teh text",
                              Language language = Language::english())
    {
        return await(
            AIGateway(fakeClock, keyring.store, preferences).perform(action, text, language));
    }

    LoopbackServer openAI;
};

struct CatalogueRow {
    const char* origin;
    Backend backend;
    TextAction action;
    Address address;
    LoopbackServer::Reply reply;
    ProxyError expected;
};

using Reply = LoopbackServer::Reply;

const Reply answer = Reply::json(200, R"({"text":"ok","choices":[{"message":{"content":"ok"}}]})");
// Over 4 MiB of an answer that would otherwise be read.
const QByteArray hugeText = "{\"text\":\"" + QByteArray(5 << 20, 'a') + "\"}";
const ProxyError tooLarge{std::nullopt, unexpected, "malformed: reply larger than 4 MiB",
                          ErrorRecovery::retry};

// clang-format off
const CatalogueRow catalogue[] = {
    {"no service configured", Backend::none, TextAction::fixGrammar(), Address::loopback, answer, {std::nullopt, "Connect an AI service to use Quillmark", "local: no AI service is configured", ErrorRecovery::openSettings}},
    {"OpenAI chosen without a key", Backend::openAIWithoutKey, TextAction::fixGrammar(), Address::loopback, answer, {std::nullopt, "No OpenAI API key yet — add one in Settings.", "local: useOwnAPIKey is set but the Keychain has no key", ErrorRecovery::openSettings}},
    {"OpenAI 401 with its message", Backend::ownKey, TextAction::fixGrammar(), Address::loopback, Reply::json(401, R"({"error":{"message":"Incorrect API key provided."}})"), {std::nullopt, "Incorrect API key provided.", "byo: Incorrect API key provided.", ErrorRecovery::openSettings}},
    {"OpenAI 429", Backend::ownKey, TextAction::fixGrammar(), Address::loopback, Reply::json(429, ""), {std::nullopt, "HTTP 429", "byo: HTTP 429", ErrorRecovery::retry}},
    {"OpenAI without an answer", Backend::ownKey, TextAction::improvePrompt(), Address::loopback, Reply::json(200, R"({"choices":[]})"), {std::nullopt, "Empty response from model", "byo: Empty response from model", ErrorRecovery::retry}},
    {"OpenAI base unparsable", Backend::ownKey, TextAction::fixGrammar(), Address::unparsable, Reply::json(200, ""), {std::nullopt, "Bad endpoint URL", "byo: Bad endpoint URL", ErrorRecovery::retry}},
    {"OpenAI not HTTP", Backend::ownKey, TextAction::fixGrammar(), Address::notHttp, Reply::json(200, ""), {std::nullopt, "No HTTP response", "byo: No HTTP response", ErrorRecovery::retry}},
    // Transport failures say what happened where ("%1" is the configured address).
    {"own server refusing", Backend::ownKey, TextAction::fixGrammar(), Address::refusing, Reply::json(200, ""), {std::nullopt, "Nothing answered at %1 — is the server running?", "network: Connection refused", ErrorRecovery::retry}},
    {"own server undecodable 2xx", Backend::ownKey, TextAction::fixGrammar(), Address::loopback, Reply::json(200, "{\"choices\":"), {std::nullopt, "The server at %1 did not answer like an OpenAI-compatible API.", "network: The data couldn't be read because it isn't in the correct format.", ErrorRecovery::retry}},
    {"own server silent", Backend::ownKey, TextAction::fixGrammar(), Address::loopback, Reply::silence(), {std::nullopt, "The server at %1 took too long to answer. Please try again.", "network: The request timed out.", ErrorRecovery::retry}},
    {"own server hanging up", Backend::ownKey, TextAction::fixGrammar(), Address::loopback, Reply::hangUp(), {std::nullopt, "The connection to %1 broke off before an answer. Please try again.", "network: Connection closed", ErrorRecovery::retry}},
    {"relay silent", Backend::hosted, TextAction::fixGrammar(), Address::loopback, Reply::silence(), {std::nullopt, "The server at %1 took too long to answer. Please try again.", "network: The request timed out.", ErrorRecovery::retry}},
    {"relay host not found", Backend::hosted, TextAction::fixGrammar(), Address::unknownHost, Reply::json(200, ""), {std::nullopt, unreachable, "network: Host no.such.host.invalid not found", ErrorRecovery::retry}},
    {"custom instruction on the hosted path", Backend::hosted, TextAction::custom("shorter"), Address::loopback, Reply::json(200, ""), {std::nullopt, "Custom instructions only work with your own OpenAI key.", "local: TextAction.custom is not in the server allow-list", ErrorRecovery::none}},
    {"hosted base URL unparsable", Backend::hosted, TextAction::fixGrammar(), Address::unparsable, Reply::json(200, ""), {std::nullopt, unexpected, "malformed: bad base URL: not a url", ErrorRecovery::retry}},
    {"hosted non-HTTP response", Backend::hosted, TextAction::fixGrammar(), Address::notHttp, Reply::json(200, ""), {std::nullopt, unexpected, "malformed: non-HTTP response", ErrorRecovery::retry}},
    {"hosted 2xx without usable text", Backend::hosted, TextAction::fixGrammar(), Address::loopback, Reply::json(200, R"({"text":""})"), {std::nullopt, unexpected, "malformed: HTTP 200 with no usable `text` (11 bytes)", ErrorRecovery::retry}},
    {"hosted unrecognised code", Backend::hosted, TextAction::fixGrammar(), Address::loopback, Reply::json(418, R"({"error":"TEAPOT","message":"TEAPOT: short and stout"})"), {std::nullopt, unexpected, "UNKNOWN: short and stout", ErrorRecovery::retry}},
    {"hosted BAD_REQUEST", Backend::hosted, TextAction::fixGrammar(), Address::loopback, Reply::json(400, R"({"error":"BAD_REQUEST","message":"missing text"})"), {ProxyErrorCode::badRequest, "Quillmark couldn't process that request. Please try again, or report it if it keeps happening.", "BAD_REQUEST: missing text", ErrorRecovery::retry}},
    {"hosted UPDATE_REQUIRED", Backend::hosted, TextAction::fixGrammar(), Address::loopback, Reply::json(426, R"({"error":"UPDATE_REQUIRED","message":"UPDATE_REQUIRED: Please update Quillmark."})"), {ProxyErrorCode::updateRequired, "Please update Quillmark.", "UPDATE_REQUIRED: Please update Quillmark.", ErrorRecovery::update}},
    {"hosted QUOTA_EXCEEDED", Backend::hosted, TextAction::fixGrammar(), Address::loopback, Reply::json(429, R"({"error":"QUOTA_EXCEEDED","message":"Monthly limit reached."})"), {ProxyErrorCode::quotaExceeded, "Monthly limit reached.", "QUOTA_EXCEEDED: Monthly limit reached.", ErrorRecovery::none}},
    {"hosted INTERNAL_ERROR", Backend::hosted, TextAction::fixGrammar(), Address::loopback, Reply::json(500, R"({"error":"INTERNAL_ERROR","message":"stack trace"})"), {ProxyErrorCode::internalError, "The AI service had a problem. Please try again in a moment.", "INTERNAL_ERROR: stack trace", ErrorRecovery::retry}},
    // What a hostile server or a damaged setting can do.
    {"hosted code without a message", Backend::hosted, TextAction::fixGrammar(), Address::loopback, Reply::json(426, R"({"error":"UPDATE_REQUIRED"})"), {ProxyErrorCode::updateRequired, unexpected, R"(UPDATE_REQUIRED: {"error":"UPDATE_REQUIRED"})", ErrorRecovery::update}},
    {"hosted blank message", Backend::hosted, TextAction::fixGrammar(), Address::loopback, Reply::json(502, R"({"error":"UPSTREAM_ERROR","message":" \u001b[0m\n"})"), {ProxyErrorCode::upstreamError, unexpected, "UPSTREAM_ERROR:  \\u001b[0m\\n", ErrorRecovery::retry}},
    {"hosted message with escapes and line breaks", Backend::hosted, TextAction::fixGrammar(), Address::loopback, Reply::json(503, R"({"error":"KILL_SWITCH","message":"\u001b[2J\u001b]0;title\u0007Paused\r\nerror ai: forged\u202e\u009b31m"})"), {ProxyErrorCode::killSwitch, "Paused error ai: forged", "KILL_SWITCH: \\u001b[2J\\u001b]0;title\\u0007Paused\\r\\nerror ai: forged\u202e\\u009b31m", ErrorRecovery::retry}},
    {"hosted message too long", Backend::hosted, TextAction::fixGrammar(), Address::loopback, Reply::json(429, R"({"error":"QUOTA_EXCEEDED","message":")" + QByteArray(400, 'x') + "\"}"), {ProxyErrorCode::quotaExceeded, QString(300, u'x') + u'…', "QUOTA_EXCEEDED: " + QString(400, u'x'), ErrorRecovery::none}},
    {"OpenAI message with escapes and line breaks", Backend::ownKey, TextAction::fixGrammar(), Address::loopback, Reply::json(500, R"({"error":{"message":"Bad\n\u001b[31mkey"}})"), {std::nullopt, "Bad key", "byo: Bad key", ErrorRecovery::retry}},
    {"hosted reply over 4 MiB", Backend::hosted, TextAction::fixGrammar(), Address::loopback, Reply::json(200, hugeText), tooLarge},
    {"hosted reply over 4 MiB without a length", Backend::hosted, TextAction::fixGrammar(), Address::loopback, Reply::raw("HTTP/1.1 200 OK\r\n\r\n" + hugeText), tooLarge},
    {"own key with a line break", Backend::ownKeyBad, TextAction::fixGrammar(), Address::loopback, answer, {std::nullopt, "Your OpenAI API key contains a line break or another control character. Enter it again in Settings.", "byo: Your OpenAI API key contains a line break or another control character. Enter it again in Settings.", ErrorRecovery::openSettings}},
    {"proxyToken with a line break", Backend::hostedBadToken, TextAction::fixGrammar(), Address::loopback, answer, {std::nullopt, "The proxyToken in Quillmark's settings contains a line break or another control character. Set it again with: quillmark defaults write proxyToken -stdin", "local: proxyToken contains a line break or another control character", ErrorRecovery::none}},
    {"deviceID with a line break", Backend::hostedBadDevice, TextAction::fixGrammar(), Address::loopback, answer, {std::nullopt, "The deviceID in Quillmark's settings contains a line break or another control character. Remove it with: quillmark defaults delete deviceID", "local: deviceID contains a line break or another control character", ErrorRecovery::none}},
};
// clang-format on

TEST_F(AIGatewayTest, EveryFailureEndsInItsMessageAndRecovery)
{
    for (const CatalogueRow& row : catalogue) {
        SCOPED_TRACE(row.origin);
        ASSERT_TRUE(UserDefaults::standard().update([](QJsonObject& all) { all = {}; }));
        keyring.store.setAvailable(true);
        const QString address = choose(row.backend, row.address);
        server.setReply(row.reply);
        openAI.setReply(row.reply);
        // A silent server is given up on when the clock passes the minute.
        const bool silent = row.reply.kind == Reply::Kind::silence;
        server.onRequest = openAI.onRequest = [this, silent](const LoopbackServer::Request&) {
            if (silent)
                fakeClock.advance(std::chrono::seconds(60));
        };
        ProxyError expected = row.expected;
        if (expected.message.contains(QLatin1String("%1")))
            expected.message = expected.message.arg(address);

        const qsizetype sentBefore = server.requests().size() + openAI.requests().size();
        const AIGateway::Result result = perform(row.action);
        // What is refused locally never reaches a server.
        if (row.expected.logDetail.startsWith(QLatin1String("local:"))) {
            EXPECT_EQ(server.requests().size() + openAI.requests().size(), sentBefore);
        }
        (void)keyring.store.remove(KeychainHelper::service, KeychainHelper::openAIAccount);
        const auto* error = std::get_if<ProxyError>(&result);
        EXPECT_EQ((error ? *error : ProxyError{{}, "no error"}), expected);
    }
}

TEST_F(AIGatewayTest, OwnKeySendsThePromptWithTheChosenModelAndUnwrapsTheAnswer)
{
    choose(Backend::ownKey, Address::loopback);
    openAI.setReply(
        Reply::json(
            200,
            R"({"choices":[{"message":{"content":"\n<text>\nDas Haus\n</text> "}}],"usage":{"prompt_tokens":40,"completion_tokens":4}})")
            .withHeader("Set-Cookie", "s=abc; Path=/"));
    const Language german = *Language::withID("de");
    const AIGateway::Result result = perform(TextAction::translate(), " the house\n", german);
    ASSERT_TRUE(std::holds_alternative<AIGateway::Outcome>(result));
    EXPECT_EQ(std::get<AIGateway::Outcome>(result).completion, Completion({"Das Haus", 40, 4}));
    EXPECT_FALSE(std::get<AIGateway::Outcome>(result).quota);
    setDefault(DefaultsKey::openAIModel, "gpt-4.1-mini");
    (void)perform(TextAction::custom("make it rhyme"));

    EXPECT_TRUE(server.requests().isEmpty());
    ASSERT_EQ(openAI.requests().size(), 2);
    const auto sent = [&](int i) { return openAI.requests()[i].json(); };
    EXPECT_EQ(openAI.requests()[0].header("Authorization"), "Bearer sk-test");
    EXPECT_EQ(sent(0)["model"], "gpt-4o-mini");
    EXPECT_EQ(sent(0)["temperature"], 0.3);
    EXPECT_EQ(
        sent(0)["messages"],
        (QJsonArray{QJsonObject{{"role", "system"},
                                {"content", Prompts::system(TextAction::translate(), german)}},
                    QJsonObject{{"role", "user"}, {"content", "<text>\n the house\n\n</text>"}}}));
    EXPECT_FALSE(openAI.requests()[1].header("Cookie"));
    EXPECT_EQ(sent(1)["model"], "gpt-4.1-mini");
    EXPECT_EQ(sent(1)["messages"][0]["content"],
              Prompts::system(TextAction::custom("make it rhyme"), Language::english()));
}

TEST_F(AIGatewayTest, HostedResultsArriveExactlyAsSentAndTheTokenIsTheCredentialWhenSet)
{
    choose(Backend::hosted, Address::loopback);
    server.setReply(Reply::json(
        200,
        R"({"text":"  Fixed text.\n","usage":{"prompt_tokens":9,"completion_tokens":3},"quota":{"remaining_tokens":4000}})"));
    setDefault(DefaultsKey::proxyToken, ""); // an empty token counts as none
    const AIGateway::Result result = perform(TextAction::rewrite(Style::casual));
    setDefault(DefaultsKey::proxyToken, "team-token");
    (void)perform(TextAction::fixGrammar());

    ASSERT_TRUE(std::holds_alternative<AIGateway::Outcome>(result));
    EXPECT_EQ(std::get<AIGateway::Outcome>(result).completion,
              Completion({"  Fixed text.\n", 9, 3}));
    EXPECT_EQ(std::get<AIGateway::Outcome>(result).quota, Quota({4000, std::nullopt}));
    ASSERT_EQ(server.requests().size(), 2);
    const QByteArray device = preferences.deviceID().toUtf8();
    EXPECT_EQ(server.requests()[0].header("Authorization"), "Bearer " + device);
    EXPECT_EQ(server.requests()[0].header("X-Device-Id"), device);
    EXPECT_EQ(server.requests()[1].header("Authorization"), "Bearer team-token");
}

TEST_F(AIGatewayTest, AChosenServiceIsNeverReplacedAndOnlyOpenAINeedsAKey)
{
    choose(Backend::hosted, Address::loopback);
    setDefault(DefaultsKey::aiService, "openai");
    setDefault(DefaultsKey::openAIBaseURL, openAI.baseURL());
    keyring.putKey("");
    openAI.setReply(answer);
    EXPECT_TRUE(std::holds_alternative<ProxyError>(perform(TextAction::fixGrammar())));

    setDefault(DefaultsKey::aiService, "compatible");
    EXPECT_TRUE(std::holds_alternative<AIGateway::Outcome>(perform(TextAction::fixGrammar())));
    EXPECT_TRUE(server.requests().isEmpty());
    ASSERT_EQ(openAI.requests().size(), 1);
    EXPECT_EQ(openAI.requests().first().header("Authorization"), std::nullopt);
}

} // namespace
