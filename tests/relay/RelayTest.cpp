// SPDX-License-Identifier: MIT
// The relay in this process, its upstream a loopback server and its client Quillmark's own
// ProxyClient, so that every reply is read exactly as the desktop reads it.
#include "RelayTestSupport.h"
#include "ai/HttpExchange.h"
#include "ai/Prompts.h"
#include "ai/ProxyClient.h"
#include "relay/RelayCli.h"
#include "relay/RelayLog.h"
#include "relay/RelayService.h"
#include "relay/RelayWire.h"
#include "support/TestEnvironment.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QDateTime midMarch(QDate(2026, 3, 15), QTime(12, 0), Qt::UTC);

class RelayTest : public ::testing::Test {
public:
    RelayTest()
    {
        fakeClock.setWallNow(midMarch);
        RelayLog::setSink([this](RelayLog::Level, const QString& line) { logLines.append(line); });
        writeConfig("");
        config.database = "sqlite:" + dir.filePath("relay.db");
        config.port = 0;
        store = std::get<std::unique_ptr<RelayStore>>(RelayStore::open(config.database, "test"));
        EXPECT_TRUE(store->migrate());
        model.setReply(modelAnswer("<text>\nHello.\n</text>", 7, 3));
        upstream =
            std::make_unique<RelayUpstream>(fakeClock, model.baseURL() + "/v1", "sk-upstream");
        service = std::make_unique<RelayService>(fakeClock, *store, *upstream, config,
                                                 dir.filePath("relay.conf"), QProcessEnvironment());
        QString error;
        baseURL = QStringLiteral("http://127.0.0.1:%1").arg(service->listen(error));
    }
    ~RelayTest() override
    {
        RelayLog::setSink({});
        fakeClock.advance(10min); // lets the clients' time-outs run out
    }

    // Rewrites the configuration file with a new modification time, as an editor would.
    void writeConfig(const QByteArray& lines)
    {
        QFile file(dir.filePath("relay.conf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(lines);
        file.setFileTime(QDateTime::currentDateTime().addSecs(++edits),
                         QFileDevice::FileModificationTime);
    }

    int cli(const QStringList& arguments, QString* printed = nullptr)
    {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const int status =
            RelayCli::run(arguments, *store, config, fakeClock, outStream, errStream);
        if (printed)
            *printed = out.trimmed();
        return status;
    }

    QString token(const QString& name, QStringList options = {})
    {
        QString printed;
        EXPECT_EQ(cli(QStringList{"token", "create", name} + options, &printed), 0);
        return printed;
    }

    ProxyClient::Result call(const QString& credential,
                             TextAction action = TextAction::fixGrammar(),
                             const QString& text = "teh text", QString version = "1.4",
                             Language language = Language::english())
    {
        return QCoro::waitFor(ProxyClient::complete(fakeClock, action, text, language, credential,
                                                    {baseURL, "device-1", version}));
    }

    // An exchange the desktop client would never make, read as the client reads errors.
    ProxyError callRaw(const QString& credential, const QByteArray& body)
    {
        QNetworkRequest request = HttpExchange::makeRequest(QUrl(baseURL + "/ai"), 60s);
        request.setRawHeader("Authorization", "Bearer " + credential.toUtf8());
        const auto result = QCoro::waitFor(HttpExchange::post(fakeClock, request, body, 60s));
        const auto* response = std::get_if<HttpExchange::Response>(&result);
        return response ? ProxyWire::apiError(response->body) : ProxyError{};
    }

    QTemporaryDir dir;
    FakeClock fakeClock;
    QStringList logLines;
    RelayConfig config;
    std::unique_ptr<RelayStore> store;
    LoopbackServer model;
    std::unique_ptr<RelayUpstream> upstream;
    std::unique_ptr<RelayService> service;
    QString baseURL;
    QString key; // the credential the error cases send
    int edits = 0;
};

TEST_F(RelayTest, SendsTheClientsOwnInstructionsUpstreamAndAnswersEveryWireField)
{
    const QString key = token("alice", {"--monthly-tokens", "1000"});
    const std::pair<TextAction, Language> cases[] = {
        {TextAction::rewrite(Style::concise), Language::english()},
        {TextAction::translate(), *Language::withID("de")}};
    qint64 remaining = 1000;
    for (const auto& [action, language] : cases) {
        SCOPED_TRACE(action.logName().toStdString());
        const auto result = call(key, action, "  teh text\n", "1.4", language);
        ASSERT_TRUE(std::holds_alternative<ProxyWire::AIResult>(result));
        const auto& reply = std::get<ProxyWire::AIResult>(result);
        remaining -= 10;
        EXPECT_EQ(reply.completion, (Completion{"Hello.", 7, 3}));
        EXPECT_EQ(reply.quota,
                  (Quota{remaining, QDateTime(QDate(2026, 4, 1), QTime(0, 0), Qt::UTC)}));

        const auto& sent = model.requests().last();
        EXPECT_EQ(sent.path, "/v1/chat/completions");
        EXPECT_EQ(sent.header("Authorization"), "Bearer sk-upstream");
        const QJsonArray messages = sent.json().value("messages").toArray();
        EXPECT_EQ(sent.json().value("model"), "gpt-4o-mini");
        EXPECT_EQ(sent.json().value("temperature"), 0.3);
        EXPECT_EQ(messages.size(), 2);
        EXPECT_EQ(messages[0]["content"], Prompts::system(action, language));
        EXPECT_EQ(messages[1]["content"], Prompts::userMessage("  teh text\n"));
    }
    // The journal learns who, what and how much, never the text, the token or the key.
    ASSERT_EQ(logLines.size(), 2);
    EXPECT_TRUE(logLines[1].contains(
        QRegularExpression("^request [0-9a-f]{8} credential=alice action=translate status=200 "
                           "tokens=7/3 latency_ms=\\d+ upstream_ms=\\d+$")))
        << logLines[1].toStdString();
    for (const QString& secret : {QString("teh text"), key, QString("sk-upstream")})
        EXPECT_FALSE(logLines.join('\n').contains(secret));
}

struct ErrorCase {
    const char* name;
    std::function<void(RelayTest&)> arrange;
    ProxyErrorCode code;
    QString detail; // part of the log detail the client makes: "CODE: server message"
    QByteArray rawBody = {};
    QString version = "1.4";
};

void PrintTo(const ErrorCase& c, std::ostream* os)
{
    *os << c.name;
}

class RelayErrorTest : public RelayTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(RelayErrorTest, AnswersWithTheCodeOfItsCause)
{
    const ErrorCase& c = GetParam();
    key = token("alice", {"--monthly-tokens", "15"});
    c.arrange(*this);
    const ProxyError error =
        c.rawBody.isEmpty()
            ? std::get<ProxyError>(call(key, TextAction::fixGrammar(), "teh text", c.version))
            : callRaw(key, c.rawBody);
    EXPECT_EQ(error.code, c.code);
    EXPECT_TRUE(error.logDetail.startsWith(rawValue(c.code) + ": "));
    EXPECT_TRUE(error.logDetail.contains(c.detail)) << error.logDetail.toStdString();
}

const auto nothing = [](RelayTest&) {};
const auto set = [](QString key, QString value) {
    return [=](RelayTest& t) { EXPECT_EQ(t.cli({"set", key, value}), 0); };
};
const auto sendInstead = [](QString credential) {
    return [=](RelayTest& t) { t.key = credential; };
};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Causes, RelayErrorTest,
    ::testing::Values(
        ErrorCase{"MalformedJson", nothing, ProxyErrorCode::badRequest, "not a JSON object", "{"},
        ErrorCase{"UnknownAction", nothing, ProxyErrorCode::badRequest, "Unknown action", R"({"action":"custom","text":"t"})"},
        ErrorCase{"UnknownStyle", nothing, ProxyErrorCode::badRequest, "Unknown style", R"({"action":"rewrite","style":"Formal","text":"t"})"},
        ErrorCase{"UnknownLanguage", nothing, ProxyErrorCode::badRequest, "Unknown target", R"({"action":"translate","targetLanguage":"xx","text":"t"})"},
        ErrorCase{"MissingText", nothing, ProxyErrorCode::badRequest, "no text", R"({"action":"fixGrammar"})"},
        ErrorCase{"UnknownToken", sendInstead("qmr_0123456789abcdef_" + QString(43, 'A')), ProxyErrorCode::badRequest, "unknown or revoked"},
        ErrorCase{"NoTokenWithoutOpenMode", sendInstead("device-1"), ProxyErrorCode::badRequest, "unknown or revoked"},
        ErrorCase{"RevokedToken", [](RelayTest& t) { EXPECT_EQ(t.cli({"token", "revoke", "alice"}), 0); },
                  ProxyErrorCode::badRequest, "unknown or revoked"},
        ErrorCase{"InputTooLarge", set("max_input_chars", "5"), ProxyErrorCode::inputTooLarge, "at most 5 characters"},
        ErrorCase{"VersionBelowMinimum", set("min_app_version", "1.10"), ProxyErrorCode::updateRequired, "needs Quillmark 1.10 or later", {}, "1.9"},
        ErrorCase{"VersionNotSent", set("min_app_version", "1.0"), ProxyErrorCode::updateRequired, "1.0 or later", {}, "1.0-beta"},
        // 10 tokens each: the second request starts under the quota of 15 and ends over it.
        ErrorCase{"QuotaCrossedByARequest",
                  [](RelayTest& t) {
                      for (int i = 0; i < 2; ++i)
                          ASSERT_TRUE(std::holds_alternative<ProxyWire::AIResult>(t.call(t.key)));
                  },
                  ProxyErrorCode::quotaExceeded, "quota of 15 tokens is used up. It resets on 2026-04-01"},
        ErrorCase{"RateLimit", [](RelayTest& t) { EXPECT_EQ(t.cli({"set", "rate_limit_per_minute", "1"}), 0); t.call(t.key); },
                  ProxyErrorCode::quotaExceeded, "at most 1 a minute"},
        ErrorCase{"KillSwitchFromTheConfigurationFile", [](RelayTest& t) { t.writeConfig("kill_switch = Closed for the exam.\n"); },
                  ProxyErrorCode::killSwitch, "KILL_SWITCH: Closed for the exam."},
        ErrorCase{"UpstreamFails", [](RelayTest& t) { t.model.setReply(LoopbackServer::Reply::json(500, "oops")); },
                  ProxyErrorCode::upstreamError, "failed (HTTP 500)"},
        ErrorCase{"UpstreamTimesOut",
                  [](RelayTest& t) {
                      EXPECT_EQ(t.cli({"set", "upstream_timeout_seconds", "5"}), 0);
                      t.model.setReply(LoopbackServer::Reply::silence());
                      t.model.onRequest = [&t](const auto&) { QTimer::singleShot(0, [&t] { t.fakeClock.advance(6s); }); };
                  },
                  ProxyErrorCode::upstreamError, "took too long"},
        ErrorCase{"DatabaseFails",
                  [](RelayTest& t) {
                      {
                          auto db = QSqlDatabase::addDatabase("QSQLITE", "vandal");
                          db.setDatabaseName(t.config.database.mid(7));
                          ASSERT_TRUE(db.open());
                          QSqlQuery(db).exec("DROP TABLE ledger");
                      }
                      QSqlDatabase::removeDatabase("vandal");
                  },
                  ProxyErrorCode::internalError, "relay had a problem"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(RelayTest, KillSwitchFlipsWhileRunningAndTheMonthBoundaryResetsTheQuota)
{
    const QString key = token("alice", {"--monthly-tokens", "10"});
    writeConfig("kill_switch = Back at noon.\n");
    EXPECT_EQ(std::get<ProxyError>(call(key)).message, "Back at noon.");
    writeConfig("");
    EXPECT_TRUE(std::holds_alternative<ProxyWire::AIResult>(call(key)));
    // The operator's command reaches a running relay within a second.
    EXPECT_EQ(cli({"set", "kill_switch", "Paused by the operator."}), 0);
    fakeClock.advance(1s);
    EXPECT_EQ(std::get<ProxyError>(call(key)).message, "Paused by the operator.");
    EXPECT_EQ(cli({"unset", "kill_switch"}), 0);
    fakeClock.advance(1s);

    fakeClock.setWallNow(QDateTime(QDate(2026, 3, 31), QTime(23, 59, 59), Qt::UTC));
    EXPECT_EQ(std::get<ProxyError>(call(key)).code, ProxyErrorCode::quotaExceeded);
    fakeClock.setWallNow(QDateTime(QDate(2026, 4, 1), QTime(0, 0), Qt::UTC));
    const auto april = call(key);
    ASSERT_TRUE(std::holds_alternative<ProxyWire::AIResult>(april));
    EXPECT_EQ(std::get<ProxyWire::AIResult>(april).quota,
              (Quota{0, QDateTime(QDate(2026, 5, 1), QTime(0, 0), Qt::UTC)}));
    EXPECT_EQ(RelayWire::nextMonthStart(QDateTime(QDate(2026, 12, 31), QTime(23, 0), Qt::UTC)),
              QDateTime(QDate(2027, 1, 1), QTime(0, 0), Qt::UTC));
}

TEST_F(RelayTest, KeepsOnlyTheTokensHashAndServesDevicesInOpenMode)
{
    const QString key = token("alice");
    QString listing;
    EXPECT_EQ(cli({"token", "list"}, &listing), 0);
    const QString secret = key.section('_', 2);
    EXPECT_TRUE(listing.contains("alice")) << listing.toStdString();
    QFile database(config.database.mid(7));
    ASSERT_TRUE(database.open(QIODevice::ReadOnly));
    const QByteArray bytes = database.readAll() + QFile(database.fileName() + "-wal").readAll();
    EXPECT_FALSE(bytes.contains(secret.toUtf8()));
    EXPECT_FALSE(listing.contains(secret));
    const auto record = store->credential(key.section('_', 1, 1));
    ASSERT_TRUE(record && *record);
    EXPECT_EQ((*record)->tokenHash,
              QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256));

    writeConfig("open_mode = true\nmonthly_tokens = 25\n");
    const auto device = call("device-1");
    ASSERT_TRUE(std::holds_alternative<ProxyWire::AIResult>(device));
    EXPECT_EQ(std::get<ProxyWire::AIResult>(device).quota->remainingTokens, 15);
}

TEST_F(RelayTest, FinishesTheRequestInFlightWhenStopping)
{
    bool drained = false;
    QObject::connect(service.get(), &RelayService::drained, [&] { drained = true; });
    model.onRequest = [this](const auto&) { service->stopAccepting(); };
    EXPECT_TRUE(std::holds_alternative<ProxyWire::AIResult>(call(token("alice"))));
    EXPECT_TRUE(drained);
    EXPECT_TRUE(std::holds_alternative<ProxyError>(call(token("bob"))));
}

TEST(RelayConfigTest, ReadsTheFileThenTheEnvironment)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("relay.conf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# comment\nlisten = 0.0.0.0:9000\nmonthly_tokens = 5\nopen_mode = yes\n");
    file.close();
    QProcessEnvironment environment;
    environment.insert("QUILLMARK_RELAY_MONTHLY_TOKENS", "7");
    environment.insert("STATE_DIRECTORY", "/var/lib/quillmark-relay");
    const auto config = std::get<RelayConfig>(RelayConfig::load(file.fileName(), environment));
    EXPECT_EQ(config.port, 9000);
    EXPECT_EQ(config.policy.monthlyTokens, 7);
    EXPECT_TRUE(config.policy.openMode);
    EXPECT_EQ(config.database, "sqlite:/var/lib/quillmark-relay/relay.db");

    environment.insert("QUILLMARK_RELAY_LISTEN", "nowhere");
    EXPECT_EQ(std::get<QString>(RelayConfig::load(file.fileName(), environment)),
              "QUILLMARK_RELAY_LISTEN: listen: expected ADDRESS:PORT such as 127.0.0.1:8787");
}

} // namespace
