// SPDX-License-Identifier: MIT
#include "relay/RelayService.h"

#include "ai/Prompts.h"
#include "relay/RelayLog.h"
#include "relay/RelayTokens.h"
#include "relay/RelayWire.h"

#include <QFile>
#include <QFileInfo>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QRandomGenerator>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>
#include <QTcpSocket>

using namespace std::chrono_literals;

struct RelayService::Outcome {
    int status = 200;
    QByteArray body;
    QString credential = QStringLiteral("-");
    QString action = QStringLiteral("-");
    QString error; // the code of an error reply
    qint64 promptTokens = 0;
    qint64 completionTokens = 0;
    qint64 upstreamMs = -1;
};

namespace {

using Outcome = RelayService::Outcome;

QByteArray headerValue(const QHttpServerRequest& request, const QByteArray& name)
{
    for (const auto& [key, value] : request.headers()) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value.trimmed();
    }
    return {};
}

Outcome failure(int status, ProxyErrorCode code, const QString& message)
{
    Outcome outcome;
    outcome.status = status;
    outcome.error = rawValue(code);
    outcome.body = RelayWire::errorBody({status, code, message});
    return outcome;
}

Outcome internalError(const QString& why)
{
    RelayLog::error(QStringLiteral("database: ") + why);
    return failure(500, ProxyErrorCode::internalError,
                   QStringLiteral("The relay had a problem. Please try again in a moment."));
}

struct Caller {
    QString ledgerKey;
    QString name; // for the log
    qint64 quota = 0;
};

QString actionName(const TextAction& action)
{
    switch (action.kind()) {
    case TextAction::Kind::rewrite:
        return QStringLiteral("rewrite-") + rawValue(action.style());
    case TextAction::Kind::translate:
        return QStringLiteral("translate");
    case TextAction::Kind::fixGrammar:
        return QStringLiteral("fixGrammar");
    case TextAction::Kind::improvePrompt:
        return QStringLiteral("improvePrompt");
    case TextAction::Kind::custom:
        break;
    }
    return QStringLiteral("custom");
}

QString upstreamMessage(const RelayUpstream::Failure& failure)
{
    if (failure.timedOut)
        return QStringLiteral("The AI model took too long to answer. Please try again.");
    if (failure.status == 0)
        return QStringLiteral("The relay could not reach the AI model. Please try again.");
    return QStringLiteral("The AI model failed (HTTP %1). Please try again.").arg(failure.status);
}

} // namespace

RelayService::RelayService(Clock& clock, RelayStore& store, RelayUpstream& upstream,
                           RelayConfig config, QString configPath, QProcessEnvironment environment)
    : m_clock(clock)
    , m_store(store)
    , m_upstream(upstream)
    , m_config(std::move(config))
    , m_configPath(std::move(configPath))
    , m_environment(std::move(environment))
    , m_configStamp(QFileInfo(m_configPath).lastModified())
{
    m_server.route(QStringLiteral("/ai"), QHttpServerRequest::Method::Post,
                   [this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
                       answer({headerValue(request, "authorization"),
                               headerValue(request, "x-device-id"),
                               headerValue(request, "x-app-version"), request.body()},
                              std::move(responder));
                   });
    m_server.route(QStringLiteral("/healthz"), QHttpServerRequest::Method::Get, [this] {
        const bool databaseAnswers = m_store.schemaVersion().has_value();
        const QString status = m_draining        ? QStringLiteral("draining")
                               : databaseAnswers ? QStringLiteral("ok")
                                                 : QStringLiteral("database unavailable");
        return QHttpServerResponse(QJsonObject{{QStringLiteral("status"), status}},
                                   status == u"ok"
                                       ? QHttpServerResponder::StatusCode::Ok
                                       : QHttpServerResponder::StatusCode::ServiceUnavailable);
    });
}

RelayService::~RelayService() = default;

quint16 RelayService::listen(QString& error)
{
    if (!m_config.tlsCertificate.isEmpty() || !m_config.tlsKey.isEmpty()) {
        QFile certificateFile(m_config.tlsCertificate);
        QFile keyFile(m_config.tlsKey);
        if (!certificateFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("cannot read tls_certificate and tls_key");
            return 0;
        }
        const auto certificates = QSslCertificate::fromData(certificateFile.readAll());
        const QByteArray keyBytes = keyFile.readAll();
        QSslKey key(keyBytes, QSsl::Rsa);
        if (key.isNull())
            key = QSslKey(keyBytes, QSsl::Ec);
        if (certificates.isEmpty() || key.isNull()) {
            error = QStringLiteral("tls_certificate or tls_key holds no PEM certificate or key");
            return 0;
        }
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificateChain(certificates);
        tls.setPrivateKey(key);
        m_server.sslSetup(tls);
    }
    const quint16 port = m_server.listen(m_config.listenAddress, m_config.port);
    if (port == 0)
        error = QStringLiteral("cannot listen on %1:%2")
                    .arg(m_config.listenAddress.toString())
                    .arg(m_config.port);
    return port;
}

void RelayService::stopAccepting()
{
    m_draining = true;
    for (QTcpServer* server : m_server.servers())
        server->close();
    if (m_inFlight == 0)
        QMetaObject::invokeMethod(this, &RelayService::drained, Qt::QueuedConnection);
}

std::optional<RelayPolicy> RelayService::currentPolicy()
{
    const QDateTime stamp = QFileInfo(m_configPath).lastModified();
    if (stamp != m_configStamp) {
        m_configStamp = stamp;
        auto reloaded = RelayConfig::load(m_configPath, m_environment);
        if (auto* config = std::get_if<RelayConfig>(&reloaded)) {
            m_config.policy = config->policy;
            RelayLog::info(QStringLiteral("configuration reloaded from ") + m_configPath);
        } else {
            RelayLog::error(QStringLiteral("configuration not reloaded: ") +
                            std::get<QString>(reloaded));
        }
    }
    // The operator's settings are read at most once a second: a change reaches every
    // instance within that second, and a busy relay saves a query per request.
    const auto now = m_clock.monotonicNow();
    if (!m_settingsReadAt || now - *m_settingsReadAt >= 1s) {
        auto settings = m_store.settings();
        if (!settings)
            return std::nullopt;
        m_settings = std::move(*settings);
        m_settingsReadAt = now;
    }
    RelayPolicy policy = m_config.policy;
    for (const auto& [key, value] : m_settings) {
        if (auto error = RelayConfig::applyToPolicy(policy, key, value))
            RelayLog::warning(QStringLiteral("operator setting ignored: ") + *error);
    }
    return policy;
}

QCoro::Task<> RelayService::answer(Incoming incoming, QHttpServerResponder responder)
{
    ++m_inFlight;
    const QPointer<QTcpSocket> socket = responder.socket();
    const QByteArray requestID =
        QByteArray::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, '0');
    const auto started = m_clock.monotonicNow();

    const Outcome outcome = co_await serve(std::move(incoming));

    // The client may have gone while the model was writing; its socket went with it.
    if (socket && socket->state() == QAbstractSocket::ConnectedState) {
        responder.write(outcome.body,
                        {{"Content-Type", "application/json"}, {"X-Request-Id", requestID}},
                        QHttpServerResponder::StatusCode(outcome.status));
        // Hands the reply to the kernel now: a stopping relay may exit before the event
        // loop would have written it.
        socket->flush();
    }
    const qint64 latency = (m_clock.monotonicNow() - started).count();
    const QString line =
        QStringLiteral("request %1 credential=%2 action=%3 status=%4%5 tokens=%6/%7 "
                       "latency_ms=%8 upstream_ms=%9")
            .arg(QString::fromLatin1(requestID), outcome.credential, outcome.action,
                 QString::number(outcome.status),
                 outcome.error.isEmpty() ? QString() : QStringLiteral(" error=") + outcome.error,
                 QString::number(outcome.promptTokens), QString::number(outcome.completionTokens),
                 QString::number(latency),
                 outcome.upstreamMs < 0 ? QStringLiteral("-")
                                        : QString::number(outcome.upstreamMs));
    if (outcome.status >= 500)
        RelayLog::error(line);
    else
        RelayLog::info(line);

    if (--m_inFlight == 0 && m_draining)
        emit drained();
}

QCoro::Task<RelayService::Outcome> RelayService::serve(Incoming incoming)
{
    const auto policy = currentPolicy();
    if (!policy)
        co_return internalError(m_store.lastError());
    if (!policy->killSwitch.isEmpty())
        co_return failure(503, ProxyErrorCode::killSwitch, policy->killSwitch);

    if (!policy->minAppVersion.isEmpty()) {
        const auto order = RelayWire::compareVersions(QString::fromUtf8(incoming.appVersion),
                                                      policy->minAppVersion);
        if (!order || *order < 0) {
            co_return failure(426, ProxyErrorCode::updateRequired,
                              QStringLiteral("This relay needs Quillmark %1 or later. Please "
                                             "update Quillmark.")
                                  .arg(policy->minAppVersion));
        }
    }

    Caller caller;
    const QString bearer = incoming.authorization.startsWith("Bearer ")
                               ? QString::fromUtf8(incoming.authorization.mid(7)).trimmed()
                               : QString();
    if (const auto id = RelayTokens::idOf(bearer)) {
        const auto found = m_store.credential(*id);
        if (!found)
            co_return internalError(m_store.lastError());
        const auto& record = *found;
        if (record && !record->revokedAt && RelayTokens::matches(bearer, record->tokenHash))
            caller = {record->id, record->name,
                      record->monthlyTokens.value_or(policy->monthlyTokens)};
    } else if (policy->openMode) {
        const QString device = QString::fromUtf8(incoming.deviceID);
        if (device.isEmpty() || device.size() > 200)
            co_return failure(400, ProxyErrorCode::badRequest,
                              QStringLiteral("The request has no device id."));
        // Device ids are random per installation; the log gets a short digest only.
        caller = {QStringLiteral("device:") + device,
                  QStringLiteral("device:") +
                      QString::fromLatin1(RelayTokens::hashOf(device).toHex().left(8)),
                  policy->monthlyTokens};
    }
    if (caller.ledgerKey.isEmpty())
        co_return failure(401, ProxyErrorCode::badRequest,
                          QStringLiteral("Missing, unknown or revoked relay token."));

    auto parsed = RelayWire::parseJob(incoming.body);
    if (auto* bad = std::get_if<RelayWire::Failure>(&parsed)) {
        Outcome outcome = failure(bad->status, bad->code, bad->message);
        outcome.credential = caller.name;
        co_return outcome;
    }
    const auto& job = std::get<RelayWire::Job>(parsed);
    auto refuse = [&](int status, ProxyErrorCode code, const QString& message) {
        Outcome outcome = failure(status, code, message);
        outcome.credential = caller.name;
        outcome.action = actionName(job.action);
        return outcome;
    };

    if (job.text.size() > policy->maxInputChars)
        co_return refuse(413, ProxyErrorCode::inputTooLarge,
                         QStringLiteral("The text is too long for this relay: at most %1 "
                                        "characters.")
                             .arg(policy->maxInputChars));

    const QDateTime now = m_clock.wallNow().toUTC();
    if (policy->ratePerMinute > 0) {
        const qint64 minute = now.toSecsSinceEpoch() / 60 * 60;
        const auto count = m_store.countRequest(caller.ledgerKey, minute);
        if (!count)
            co_return internalError(m_store.lastError());
        if (*count > policy->ratePerMinute)
            co_return refuse(429, ProxyErrorCode::quotaExceeded,
                             QStringLiteral("Too many requests: at most %1 a minute. Try again "
                                            "in a moment.")
                                 .arg(policy->ratePerMinute));
    }

    const QString month = RelayWire::monthKey(now);
    const QDateTime resetsAt = RelayWire::nextMonthStart(now);
    const QString system = Prompts::system(job.action, job.language);
    const QString user = Prompts::userMessage(job.text);
    // A token is rarely shorter than a character, so the instructions, the text and an
    // answer as long as the text bound what a request can cost. Set aside while the request
    // runs, it keeps concurrent requests from overrunning the quota by more than one request.
    const qint64 estimate = system.size() + user.size() + job.text.size();
    const auto admitted = m_store.reserve(caller.ledgerKey, month, estimate, caller.quota);
    if (!admitted)
        co_return internalError(m_store.lastError());
    if (!*admitted)
        co_return refuse(
            429, ProxyErrorCode::quotaExceeded,
            QStringLiteral("This month's quota of %1 tokens is used up. It resets "
                           "on %2 (UTC).")
                .arg(QString::number(caller.quota), resetsAt.date().toString(Qt::ISODate)));

    const auto upstreamStarted = m_clock.monotonicNow();
    const auto result = co_await m_upstream.complete(
        policy->model, system, user, std::chrono::seconds(policy->upstreamTimeoutSeconds));
    const qint64 upstreamMs = (m_clock.monotonicNow() - upstreamStarted).count();

    if (const auto* failed = std::get_if<RelayUpstream::Failure>(&result)) {
        if (!m_store.release(caller.ledgerKey, month, estimate))
            co_return internalError(m_store.lastError());
        RelayLog::warning(QStringLiteral("upstream: ") + failed->detail);
        Outcome outcome = refuse(failed->timedOut ? 504 : 502, ProxyErrorCode::upstreamError,
                                 upstreamMessage(*failed));
        outcome.upstreamMs = upstreamMs;
        co_return outcome;
    }
    const auto& reply = std::get<RelayUpstream::Answer>(result);
    Outcome outcome;
    outcome.credential = caller.name;
    outcome.action = actionName(job.action);
    outcome.upstreamMs = upstreamMs;
    outcome.promptTokens = reply.promptTokens;
    outcome.completionTokens = reply.completionTokens;
    if (!reply.usageReported) {
        // Without the upstream's figures, charge about four characters a token.
        outcome.promptTokens = (system.size() + user.size() + 3) / 4;
        outcome.completionTokens = (reply.content.size() + 3) / 4;
    }
    const auto used = m_store.settle(caller.ledgerKey, month,
                                     outcome.promptTokens + outcome.completionTokens, estimate);
    if (!used)
        co_return internalError(m_store.lastError());

    const QString text = Prompts::unwrap(reply.content);
    if (text.isEmpty()) {
        Outcome empty = refuse(502, ProxyErrorCode::upstreamError,
                               QStringLiteral("The AI model returned an empty answer. Please try "
                                              "again."));
        empty.upstreamMs = upstreamMs;
        co_return empty;
    }
    outcome.body = RelayWire::replyBody(text, outcome.promptTokens, outcome.completionTokens,
                                        std::max<qint64>(0, caller.quota - *used), resetsAt);
    co_return outcome;
}
