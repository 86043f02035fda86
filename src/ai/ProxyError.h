// SPDX-License-Identifier: MIT
#pragma once

#include "app/ErrorRecovery.h"
#include "app/RawValue.h"

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

// Everything the AI back-ends can do wrong, as the run flow receives it: the sentence shown
// to the user, a detail for the log that starts with its origin ("local: ", "network: ",
// "malformed: " or a service code and ": "), and the button offered beside the message.
struct ProxyError {
    std::optional<ProxyErrorCode> code;
    QString message;
    QString logDetail;
    ErrorRecovery recovery = ErrorRecovery::retry;

    // A hosted-service error reply: message and recovery by code.
    static ProxyError api(std::optional<ProxyErrorCode> code, const QString& serverMessage);
    // The transport failed (no connection, time-out, TLS): "network: " + description.
    static ProxyError network(const QString& description);
    // The reply could not be used: "malformed: " + what was wrong.
    static ProxyError malformed(const QString& what);
    // A problem found before anything was sent: "local: " + what.
    static ProxyError local(const QString& message, const QString& what, ErrorRecovery recovery);

    bool operator==(const ProxyError&) const = default;
};
