// SPDX-License-Identifier: MIT
#pragma once

#include "core/ErrorRecovery.h"
#include "core/RawValue.h"

#include <QString>
#include <array>
#include <optional>

// The hosted service's error codes, by their wire strings.
enum class ProxyErrorCode {
    badRequest,
    inputTooLarge,
    updateRequired,
    quotaExceeded,
    killSwitch,
    upstreamError,
    internalError
};

constexpr std::array<ProxyErrorCode, 7> allCases(CasesOf<ProxyErrorCode>)
{
    return {ProxyErrorCode::badRequest,     ProxyErrorCode::inputTooLarge,
            ProxyErrorCode::updateRequired, ProxyErrorCode::quotaExceeded,
            ProxyErrorCode::killSwitch,     ProxyErrorCode::upstreamError,
            ProxyErrorCode::internalError};
}

// "BAD_REQUEST", "INPUT_TOO_LARGE", …
QString rawValue(ProxyErrorCode code);

// How an exchange with a server failed, as far as the user can do something about it.
enum class NetworkFailure {
    refused,     // nothing listens at the address
    unreachable, // no such host, or no route to it
    timedOut,
    tls,
    notAnAPI, // it answered, but not with the JSON an OpenAI-compatible API sends
    other
};

// Everything the AI back-ends can do wrong, as the run flow receives it: the sentence shown
// to the user, a detail for the log that starts with exactly one origin ("local: ",
// "network: ", "malformed: ", "byo: " or a service code and ": "), and the button offered
// beside the message. Text a server wrote reaches the message as one clean line and the
// detail with its line breaks escaped (ServerText).
struct ProxyError {
    std::optional<ProxyErrorCode> code;
    QString message;
    QString logDetail;
    ErrorRecovery recovery = ErrorRecovery::retry;

    // A hosted-service error reply: message and recovery by code. The codes whose message
    // the service words show `serverMessage` when it is the service's sentence and holds
    // some text; otherwise (a bare body, an empty message) the generic unexpected-reply one.
    static ProxyError api(std::optional<ProxyErrorCode> code, const QString& serverMessage,
                          bool isServiceSentence = true);
    // The transport failed (no connection, time-out, TLS): "network: " + description.
    static ProxyError network(const QString& description);
    // The same, with a message that says what happened at `address` (a base address the
    // user configured, shown as it is).
    static ProxyError network(const QString& description, NetworkFailure failure,
                              const QString& address);
    // The reply could not be used: "malformed: " + what was wrong.
    static ProxyError malformed(const QString& what);
    // A problem found before anything was sent: "local: " + what.
    static ProxyError local(const QString& message, const QString& what, ErrorRecovery recovery);
    // The user's own OpenAI-compatible server failed or answered with an error:
    // "byo: " + what.
    static ProxyError ownKey(const QString& message, const QString& what, ErrorRecovery recovery);

    bool operator==(const ProxyError&) const = default;
};
