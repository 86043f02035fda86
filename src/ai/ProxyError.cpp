// SPDX-License-Identifier: MIT
#include "ai/ProxyError.h"

#include "ai/ServerText.h"

namespace {

const QString unexpectedReplyMessage =
    QStringLiteral("Quillmark got an unexpected reply from the AI service. Please try again.");
const QString unreachableMessage = QStringLiteral(
    "Couldn't reach Quillmark's AI service. Check your internet connection and try again.");

} // namespace

QString rawValue(ProxyErrorCode code)
{
    switch (code) {
    case ProxyErrorCode::badRequest:
        return QStringLiteral("BAD_REQUEST");
    case ProxyErrorCode::inputTooLarge:
        return QStringLiteral("INPUT_TOO_LARGE");
    case ProxyErrorCode::updateRequired:
        return QStringLiteral("UPDATE_REQUIRED");
    case ProxyErrorCode::quotaExceeded:
        return QStringLiteral("QUOTA_EXCEEDED");
    case ProxyErrorCode::killSwitch:
        return QStringLiteral("KILL_SWITCH");
    case ProxyErrorCode::upstreamError:
        return QStringLiteral("UPSTREAM_ERROR");
    case ProxyErrorCode::internalError:
        return QStringLiteral("INTERNAL_ERROR");
    }
    return {};
}

ProxyError ProxyError::api(std::optional<ProxyErrorCode> code, const QString& serverMessage,
                           bool isServiceSentence)
{
    ProxyError error;
    error.code = code;
    error.logDetail = (code ? rawValue(*code) : QStringLiteral("UNKNOWN")) + QStringLiteral(": ") +
                      ServerText::forLog(serverMessage);
    QString shown = isServiceSentence ? ServerText::forDisplay(serverMessage) : QString();
    if (shown.isEmpty())
        shown = unexpectedReplyMessage;
    if (!code) {
        error.message = unexpectedReplyMessage;
        error.recovery = ErrorRecovery::retry;
        return error;
    }
    // The service words the messages the user can act on itself; the two codes that only
    // say "something broke" get a fixed sentence instead of the service's internals.
    switch (*code) {
    case ProxyErrorCode::badRequest:
        error.message = QStringLiteral("Quillmark couldn't process that request. Please try "
                                       "again, or report it if it keeps happening.");
        error.recovery = ErrorRecovery::retry;
        break;
    case ProxyErrorCode::inputTooLarge:
    case ProxyErrorCode::quotaExceeded:
        error.message = shown;
        error.recovery = ErrorRecovery::none;
        break;
    case ProxyErrorCode::updateRequired:
        error.message = shown;
        error.recovery = ErrorRecovery::update;
        break;
    case ProxyErrorCode::killSwitch:
    case ProxyErrorCode::upstreamError:
        error.message = shown;
        error.recovery = ErrorRecovery::retry;
        break;
    case ProxyErrorCode::internalError:
        error.message =
            QStringLiteral("The AI service had a problem. Please try again in a moment.");
        error.recovery = ErrorRecovery::retry;
        break;
    }
    return error;
}

ProxyError ProxyError::network(const QString& description)
{
    return {std::nullopt, unreachableMessage, QStringLiteral("network: ") + description,
            ErrorRecovery::retry};
}

ProxyError ProxyError::network(const QString& description, NetworkFailure failure,
                               const QString& address)
{
    ProxyError error = network(description);
    switch (failure) {
    case NetworkFailure::refused:
        error.message = QStringLiteral("Nothing answered at %1 \u2014 is the server running?");
        break;
    case NetworkFailure::unreachable:
        return error;
    case NetworkFailure::timedOut:
        error.message =
            QStringLiteral("The server at %1 took too long to answer. Please try again.");
        break;
    case NetworkFailure::tls:
        error.message = QStringLiteral("Couldn't make a secure connection to %1. Check the "
                                       "address and the server's certificate.");
        break;
    case NetworkFailure::notAnAPI:
        error.message =
            QStringLiteral("The server at %1 did not answer like an OpenAI-compatible API.");
        break;
    case NetworkFailure::other:
        error.message =
            QStringLiteral("The connection to %1 broke off before an answer. Please try again.");
        break;
    }
    error.message = error.message.arg(ServerText::forDisplay(address));
    return error;
}

ProxyError ProxyError::malformed(const QString& what)
{
    return {std::nullopt, unexpectedReplyMessage, QStringLiteral("malformed: ") + what,
            ErrorRecovery::retry};
}

ProxyError ProxyError::local(const QString& message, const QString& what, ErrorRecovery recovery)
{
    return {std::nullopt, message, QStringLiteral("local: ") + what, recovery};
}

ProxyError ProxyError::ownKey(const QString& message, const QString& what, ErrorRecovery recovery)
{
    return {std::nullopt, message, QStringLiteral("byo: ") + what, recovery};
}
