// SPDX-License-Identifier: MIT
#include "ai/ProxyClient.h"

#include "ai/HttpExchange.h"
#include "core/AppIdentity.h"
#include "settings/Credential.h"
#include "settings/Preferences.h"

#include <QJsonDocument>

using namespace std::chrono_literals;

namespace ProxyClient {

namespace {

// The service may take a while to produce a long answer, so the idle limit equals the
// whole-request limit here.
constexpr auto requestTimeout = 60s;
constexpr auto idleTimeout = 60s;

Result resultOf(const HttpExchange::Result& exchange, const QString& baseURL)
{
    if (const auto* response = std::get_if<HttpExchange::Response>(&exchange)) {
        if (response->status < 200 || response->status > 299)
            return ProxyWire::apiError(response->body);
        auto reply = ProxyWire::decodeReply(response->body);
        if (auto* error = std::get_if<ProxyError>(&reply))
            return std::move(*error);
        return std::get<ProxyWire::AIResult>(std::move(reply));
    }
    if (const auto* failure = std::get_if<HttpExchange::TransportError>(&exchange))
        return ProxyError::network(failure->description, failure->failure, baseURL);
    if (std::holds_alternative<HttpExchange::ReplyTooLarge>(exchange))
        return ProxyError::malformed(HttpExchange::tooLargeDescription());
    return ProxyError::malformed(QStringLiteral("non-HTTP response"));
}

} // namespace

Installation currentInstallation(Preferences& preferences)
{
    return {preferences.relayBaseURL(), preferences.deviceID(), AppIdentity::version()};
}

QCoro::Task<Result> complete(Clock& clock, TextAction action, QString text, Language language,
                             QString credential, Installation installation)
{
    const auto wire = ProxyWire::wireAction(action);
    if (const auto* error = std::get_if<ProxyError>(&wire))
        co_return *error;

    // Checked here, where the headers are made, so that no caller can forget it.
    if (!Credential::isSendable(installation.deviceID)) {
        co_return ProxyError::local(
            QStringLiteral("The deviceID in Quillmark's settings contains a line break or another "
                           "control character. Remove it with: quillmark defaults delete deviceID"),
            Credential::refusal(QStringLiteral("deviceID")), ErrorRecovery::none);
    }
    if (!Credential::isSendable(credential)) {
        co_return ProxyError::local(
            QStringLiteral("The proxyToken in Quillmark's settings contains a line break or "
                           "another control character. Set it again with: quillmark defaults "
                           "write proxyToken -stdin"),
            Credential::refusal(QStringLiteral("proxyToken")), ErrorRecovery::none);
    }

    const auto url = HttpExchange::parseURL(installation.baseURL + QStringLiteral("/ai"));
    if (!url)
        co_return ProxyError::malformed(QStringLiteral("bad base URL: ") + installation.baseURL);

    QNetworkRequest request = HttpExchange::makeRequest(*url, idleTimeout);
    request.setRawHeader("Authorization", QByteArrayLiteral("Bearer ") + credential.toUtf8());
    request.setRawHeader("X-Device-Id", installation.deviceID.toUtf8());
    if (const auto version = ProxyWire::reportableVersion(installation.appVersion))
        request.setRawHeader("X-App-Version", version->toUtf8());
    const QJsonObject body =
        ProxyWire::requestBody(std::get<ProxyWire::WireAction>(wire), text, language);

    co_return resultOf(co_await HttpExchange::post(
                           clock, std::move(request),
                           QJsonDocument(body).toJson(QJsonDocument::Compact), requestTimeout),
                       installation.baseURL);
}

} // namespace ProxyClient
