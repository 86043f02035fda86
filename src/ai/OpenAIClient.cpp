// SPDX-License-Identifier: MIT
#include "ai/OpenAIClient.h"

#include "ai/JsonFields.h"
#include "ai/ServerText.h"
#include "settings/Credential.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <variant>

using namespace std::chrono_literals;

namespace OpenAIClient {

namespace {

constexpr auto requestTimeout = 60s;
constexpr auto idleTimeout = 30s;

// What a typed decoder says about data it cannot read.
const QString undecodableDescription =
    QStringLiteral("The data couldn't be read because it isn't in the correct format.");

struct ChatReply {
    // The first choice's content, when there is a first choice and it has content.
    std::optional<QString> firstContent;
    int64_t promptTokens = 0;
    int64_t completionTokens = 0;
};

// "choices" is required and every choice must carry a "message" object; a reply that
// breaks that is not a chat-completions reply at all, while an empty list or a missing
// content is a valid reply without an answer.
std::optional<ChatReply> decodeChatReply(const QByteArray& body)
{
    const auto root = JsonFields::parseObject(body);
    if (!root)
        return std::nullopt;
    JsonFields fields(*root);
    const auto choices = fields.array(QLatin1StringView("choices"));
    const auto usage = fields.object(QLatin1StringView("usage"));
    if (!fields.ok() || !choices)
        return std::nullopt;

    ChatReply reply;
    for (qsizetype i = 0; i < choices->size(); ++i) {
        const QJsonValue choice = choices->at(i);
        if (!choice.isObject())
            return std::nullopt;
        JsonFields choiceFields(choice.toObject());
        const auto message = choiceFields.object(QLatin1StringView("message"));
        if (!choiceFields.ok() || !message)
            return std::nullopt;
        JsonFields messageFields(*message);
        const auto content = messageFields.string(QLatin1StringView("content"));
        if (!messageFields.ok())
            return std::nullopt;
        if (i == 0)
            reply.firstContent = content;
    }
    if (usage) {
        JsonFields usageFields(*usage);
        reply.promptTokens = usageFields.integer(QLatin1StringView("prompt_tokens")).value_or(0);
        reply.completionTokens =
            usageFields.integer(QLatin1StringView("completion_tokens")).value_or(0);
        if (!usageFields.ok())
            return std::nullopt;
    }
    return reply;
}

// OpenAI's own wording, as one clean line, when the body is {"error": {"message": …}} with
// some text in it, else "HTTP <status>".
OpenAIError errorForStatus(int status, const QByteArray& body)
{
    std::optional<QString> message;
    if (const auto root = JsonFields::parseObject(body)) {
        JsonFields fields(*root);
        if (const auto error = fields.object(QLatin1StringView("error")); fields.ok() && error) {
            JsonFields errorFields(*error);
            const auto text = errorFields.string(QLatin1StringView("message"));
            if (errorFields.ok() && text)
                message = ServerText::forDisplay(*text);
        }
    }
    if (!message || message->isEmpty())
        message = QStringLiteral("HTTP ") + QString::number(status);
    return {*message, status == 401};
}

Result resultOf(const HttpExchange::Response& response)
{
    if (response.status < 200 || response.status > 299)
        return errorForStatus(response.status, response.body);
    const auto reply = decodeChatReply(response.body);
    if (!reply)
        return HttpExchange::TransportError{undecodableDescription, NetworkFailure::notAnAPI};
    if (!reply->firstContent || reply->firstContent->isEmpty())
        return OpenAIError{QStringLiteral("Empty response from model")};
    return Completion{*reply->firstContent, reply->promptTokens, reply->completionTokens};
}

// A request to one of the API's addresses, carrying the key when there is one. The key is
// checked here, where the header is made, so that no caller can forget it.
std::variant<QNetworkRequest, OpenAIError> authorizedRequest(const std::optional<QUrl>& url,
                                                             const QString& apiKey)
{
    if (!url)
        return OpenAIError{QStringLiteral("Bad endpoint URL")};
    if (!Credential::isSendable(apiKey)) {
        return OpenAIError{
            QStringLiteral("Your OpenAI API key contains a line break or another control "
                           "character. Enter it again in Settings."),
            true};
    }
    QNetworkRequest request = HttpExchange::makeRequest(*url, idleTimeout);
    if (!apiKey.isEmpty())
        request.setRawHeader("Authorization", QByteArrayLiteral("Bearer ") + apiKey.toUtf8());
    return request;
}

} // namespace

std::optional<QUrl> endpoint(const QString& baseURL)
{
    QString base = baseURL;
    while (base.endsWith(u'/'))
        base.chop(1);
    return HttpExchange::parseURL(base + QStringLiteral("/v1/chat/completions"));
}

QJsonObject requestBody(const QString& system, const QString& user, const QString& model)
{
    const QJsonArray messages{
        QJsonObject{{QStringLiteral("role"), QStringLiteral("system")},
                    {QStringLiteral("content"), system}},
        QJsonObject{{QStringLiteral("role"), QStringLiteral("user")},
                    {QStringLiteral("content"), user}},
    };
    return {{QStringLiteral("model"), model},
            {QStringLiteral("messages"), messages},
            {QStringLiteral("temperature"), 0.3}};
}

QCoro::Task<Result> complete(Clock& clock, QString system, QString user, QString model,
                             QString apiKey, QString baseURL)
{
    auto prepared = authorizedRequest(endpoint(baseURL), apiKey);
    if (auto* refused = std::get_if<OpenAIError>(&prepared))
        co_return std::move(*refused);
    QNetworkRequest request = std::get<QNetworkRequest>(std::move(prepared));
    const QByteArray body =
        QJsonDocument(requestBody(system, user, model)).toJson(QJsonDocument::Compact);

    const HttpExchange::Result exchange =
        co_await HttpExchange::post(clock, std::move(request), body, requestTimeout);
    if (const auto* response = std::get_if<HttpExchange::Response>(&exchange))
        co_return resultOf(*response);
    if (const auto* failure = std::get_if<HttpExchange::TransportError>(&exchange))
        co_return *failure;
    if (std::holds_alternative<HttpExchange::ReplyTooLarge>(exchange))
        co_return HttpExchange::ReplyTooLarge{};
    co_return OpenAIError{QStringLiteral("No HTTP response")};
}

QCoro::Task<ModelList> models(Clock& clock, QString apiKey, QString baseURL,
                              std::chrono::milliseconds timeout)
{
    QString base = baseURL;
    while (base.endsWith(u'/'))
        base.chop(1);
    auto prepared =
        authorizedRequest(HttpExchange::parseURL(base + QStringLiteral("/v1/models")), apiKey);
    if (auto* refused = std::get_if<OpenAIError>(&prepared))
        co_return std::move(*refused);
    QNetworkRequest request = std::get<QNetworkRequest>(std::move(prepared));
    const HttpExchange::Result exchange =
        co_await HttpExchange::get(clock, std::move(request), timeout);
    if (const auto* failure = std::get_if<HttpExchange::TransportError>(&exchange))
        co_return *failure;
    const auto* response = std::get_if<HttpExchange::Response>(&exchange);
    if (!response)
        co_return OpenAIError{QStringLiteral("No HTTP response")};
    if (response->status < 200 || response->status > 299)
        co_return errorForStatus(response->status, response->body);

    const auto root = JsonFields::parseObject(response->body);
    const auto notAnAPI =
        HttpExchange::TransportError{undecodableDescription, NetworkFailure::notAnAPI};
    if (!root)
        co_return notAnAPI;
    JsonFields fields(*root);
    const auto data = fields.array(QLatin1StringView("data"));
    if (!fields.ok() || !data)
        co_return notAnAPI;
    QStringList names;
    for (const QJsonValue& entry : *data) {
        const QString id = entry.toObject().value(QLatin1StringView("id")).toString();
        if (!id.isEmpty() && Credential::isSendable(id))
            names.append(id);
    }
    co_return names;
}

} // namespace OpenAIClient
