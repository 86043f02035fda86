// SPDX-License-Identifier: MIT
#pragma once

#include "ai/HttpExchange.h"
#include "core/Completion.h"

#include <QJsonObject>
#include <QString>
#include <qcoro/qcorotask.h>
#include <variant>

// A failure the OpenAI-compatible API reported, or that the client found in its reply or
// its key. The message is one line, shown to the user as it is.
struct OpenAIError {
    QString message;
    // True for HTTP 401 and for a key that cannot be sent: the key itself is wrong, so the
    // user is sent to Settings.
    bool isAuthError = false;

    bool operator==(const OpenAIError&) const = default;
};

// One chat-completions call with the user's own key. Stateless; main thread.
namespace OpenAIClient {

// The reply text exactly as the model wrote it, an OpenAIError, a transport failure or a
// reply abandoned for its size. A 2xx body that is not a chat-completions reply also
// arrives as a TransportError, with the description the platform gives undecodable data:
// the caller treats both alike.
using Result = std::variant<Completion, OpenAIError, HttpExchange::TransportError,
                            HttpExchange::ReplyTooLarge>;

// base + "/v1/chat/completions" (a trailing slash on the base is ignored); nothing when
// that does not parse as a URL.
std::optional<QUrl> endpoint(const QString& baseURL);

// {"model", "messages": [system, user], "temperature": 0.3} and nothing else.
QJsonObject requestBody(const QString& system, const QString& user, const QString& model);

// Posts to the endpoint under `baseURL`; an empty key sends no Authorization header (a
// local server needs none).
QCoro::Task<Result> complete(Clock& clock, QString system, QString user, QString model,
                             QString apiKey, QString baseURL);

// The model names the server lists at base + "/v1/models" ({"data": [{"id": …}, …]}), in its
// order; an empty key sends no Authorization header. Gives up after `timeout` on the clock.
using ModelList = std::variant<QStringList, OpenAIError, HttpExchange::TransportError>;
QCoro::Task<ModelList> models(Clock& clock, QString apiKey, QString baseURL,
                              std::chrono::milliseconds timeout = std::chrono::seconds(15));

} // namespace OpenAIClient
