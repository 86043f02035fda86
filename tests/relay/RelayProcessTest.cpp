// SPDX-License-Identifier: MIT
// The installed programs against each other: the desktop client's hosted path through a
// real quillmark-relay, and two relays sharing a private PostgreSQL under concurrent load.
#include "RelayTestSupport.h"
#include "relay/RelayStore.h"
#include "relay/RelayWire.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

namespace {

const QString relayBinary = QStringLiteral(RELAY_BINARY);
const QString quillmarkBinary = QStringLiteral(QUILLMARK_BINARY);
constexpr int waitMs = 60'000;

// Runs a program to its end while this thread's event loop (and its loopback model) runs.
QPair<int, QByteArray>
runProgram(const QString& program, const QStringList& arguments, const QByteArray& input = {},
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, waitMs));
    if (process.exitCode() != 0)
        ADD_FAILURE() << program.toStdString() << ": "
                      << process.readAllStandardError().toStdString();
    return {process.exitCode(), process.readAllStandardOutput().trimmed()};
}

class Relay {
public:
    explicit Relay(const QString& config)
    {
        process.setProcessChannelMode(QProcess::SeparateChannels);
        QObject::connect(&process, &QProcess::readyReadStandardError,
                         [this] { log += process.readAllStandardError(); });
        process.start(relayBinary, {"--config", config, "serve"});
        static const QRegularExpression listening("listening on [0-9.]+:(\\d+)");
        QRegularExpressionMatch match;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return (match = listening.match(log)).hasMatch() ||
                       process.state() == QProcess::NotRunning;
            },
            waitMs));
        baseURL = "http://127.0.0.1:" + match.captured(1);
    }
    // Stops it as systemd does and expects a clean exit (the sanitizers' included).
    ~Relay()
    {
        process.terminate();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, waitMs));
        EXPECT_EQ(process.exitCode(), 0) << log.toStdString();
    }
    QProcess process;
    QString log;
    QString baseURL;
};

QString writeConfig(const QTemporaryDir& dir, const QString& database, const QString& model)
{
    QFile key(dir.filePath("upstream.key"));
    EXPECT_TRUE(key.open(QIODevice::WriteOnly));
    key.write("sk-upstream\n");
    QFile config(dir.filePath("relay.conf"));
    EXPECT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("listen = 127.0.0.1:0\nupstream_url = %1/v1\nupstream_key_file = "
                                "%2\ndatabase = %3\nrate_limit_per_minute = 0\n")
                     .arg(model, key.fileName(), database)
                     .toUtf8());
    return config.fileName();
}

TEST(RelayProcessTest, QuillmarkRunGetsItsAnswerThroughTheRelay)
{
    QTemporaryDir dir;
    LoopbackServer model;
    model.setReply(modelAnswer("<text>This sentence has two mistakes.</text>", 12, 8));
    const QString config = writeConfig(dir, "sqlite:" + dir.filePath("relay.db"), model.baseURL());
    const QString token =
        runProgram(relayBinary, {"--config", config, "token", "create", "desk"}).second;
    Relay relay(config);

    QProcessEnvironment desktop = QProcessEnvironment::systemEnvironment();
    desktop.insert("XDG_CONFIG_HOME", dir.filePath("home"));
    desktop.insert("QUILLMARK_LOG", "stderr");
    runProgram(quillmarkBinary, {"defaults", "write", "proxyBaseURL", relay.baseURL}, {}, desktop);
    // The token goes in on standard input, never onto a command line.
    runProgram(quillmarkBinary, {"defaults", "write", "proxyToken", "-stdin"}, token.toUtf8(),
               desktop);

    const auto [status, out] = runProgram(quillmarkBinary, {"run", "fixGrammar"},
                                          "this sentance have two mistake", desktop);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "This sentence has two mistakes.");
    ASSERT_EQ(model.requests().size(), 1);
    EXPECT_EQ(model.requests().first().header("Authorization"), "Bearer sk-upstream");
    EXPECT_TRUE(relay.log.contains("credential=desk action=fixGrammar status=200 tokens=12/8"))
        << relay.log.toStdString();
    EXPECT_FALSE(relay.log.contains("sentance"));
}

// A private PostgreSQL 15 in a temporary folder, on a unix socket only; `problem` says why
// not. The server refuses to run as root, so as root it runs as the postgres user.
struct PrivatePostgres {
    PrivatePostgres()
    {
        const QString bin = "/usr/lib/postgresql/15/bin/";
        const passwd* user = ::geteuid() == 0 ? ::getpwnam("postgres") : nullptr;
        if (!QFile::exists(bin + "pg_ctl"))
            problem = "PostgreSQL 15 is not installed (postgresql-15)";
        else if (::geteuid() == 0 && (!user || ::chown(QFile::encodeName(dir.path()).constData(),
                                                       user->pw_uid, user->pw_gid) != 0))
            problem = "no postgres user to run the server as";
        if (!problem.isEmpty())
            return;
        const QStringList prefix =
            user ? QStringList{"runuser", "-u", "postgres", "--"} : QStringList{};
        const auto run = [prefix](QStringList command) {
            command = prefix + command;
            QProcess process;
            process.start(command.takeFirst(), command);
            return process.waitForFinished(waitMs) && process.exitCode() == 0;
        };
        const QString data = dir.filePath("data");
        if (!run({bin + "initdb", "-D", data, "-A", "trust", "-U", "relay", "--no-sync", "-E",
                  "UTF8"}) ||
            !run({bin + "pg_ctl", "-D", data, "-w", "-l", dir.filePath("server.log"), "-o",
                  "-c listen_addresses='' -c fsync=off -k " + dir.path(), "start"})) {
            problem = "initdb or pg_ctl failed; see " + dir.filePath("server.log");
            dir.setAutoRemove(false);
            return;
        }
        stop = [=] { run({bin + "pg_ctl", "-D", data, "-m", "fast", "-w", "stop"}); };
        url = "postgresql://relay@localhost/postgres?host=" + dir.path();
    }
    ~PrivatePostgres()
    {
        if (stop)
            stop();
    }
    // Under /tmp, which the postgres user can reach whatever TMPDIR says.
    QTemporaryDir dir{"/tmp/quillmark-relay-pg-XXXXXX"};
    QString problem, url;
    std::function<void()> stop;
};

TEST(RelayProcessTest, TwoInstancesOnPostgresKeepEveryIncrementAndTheQuota)
{
    PrivatePostgres postgres;
    if (!postgres.problem.isEmpty())
        GTEST_SKIP() << "PostgreSQL could not be started: " << postgres.problem.toStdString();

    QTemporaryDir dir;
    LoopbackServer model;
    constexpr int perRequest = 600; // under the relay's estimate, as real answers are
    constexpr int quota = 30 * perRequest;
    model.setReply(modelAnswer("ok", 400, 200));
    const QString config = writeConfig(dir, postgres.url, model.baseURL());
    Relay first(config);
    Relay second(config);
    const QString token = runProgram(relayBinary, {"--config", config, "token", "create", "lab",
                                                   "--monthly-tokens", QString::number(quota)})
                              .second;

    QNetworkAccessManager network;
    QList<int> statuses; // in the order the replies finished
    const auto send = [&](int i) {
        QNetworkRequest request(QUrl((i % 2 ? first : second).baseURL + "/ai"));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
        request.setRawHeader("Authorization", "Bearer " + token.toUtf8());
        QNetworkReply* reply = network.post(request, R"({"action":"fixGrammar","text":"teh"})");
        QObject::connect(reply, &QNetworkReply::finished, [&, reply] {
            const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            const QString code = QJsonDocument::fromJson(reply->readAll())["error"].toString();
            EXPECT_TRUE(status == 200 || code == "QUOTA_EXCEEDED") << status << code.toStdString();
            statuses.append(status);
            reply->deleteLater();
        });
    };
    // Twelve at a time (six connections to each instance), more than the quota allows; then one
    // at a time until the quota refuses, so that it is certainly reached.
    constexpr int burst = 48;
    for (int i = 0; i < burst; ++i)
        send(i);
    ASSERT_TRUE(QTest::qWaitFor([&] { return statuses.size() == burst; }, waitMs));
    int sent = burst;
    do {
        send(sent++);
        ASSERT_TRUE(QTest::qWaitFor([&] { return statuses.size() == sent; }, waitMs));
    } while (statuses.last() == 200 && sent < burst + 40);
    EXPECT_EQ(statuses.last(), 429);
    const int served = int(statuses.count(200));

    auto store = std::get<std::unique_ptr<RelayStore>>(RelayStore::open(postgres.url, "check"));
    const QString id = token.section('_', 1, 1);
    const auto usage = store->usage(id, RelayWire::monthKey(QDateTime::currentDateTimeUtc()));
    ASSERT_TRUE(usage);
    EXPECT_EQ(usage->second, served);                     // no request lost its booking
    EXPECT_EQ(usage->first, qint64(served) * perRequest); // nor a token of it
    EXPECT_GE(usage->first, quota);
    EXPECT_LE(usage->first, quota + perRequest); // over by one request's tokens at most
    EXPECT_EQ(model.requests().size(), served);
}

} // namespace
