// SPDX-License-Identifier: MIT
#pragma once

#include "ai/ProxyError.h"
#include "core/Language.h"
#include "core/TextAction.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <optional>
#include <variant>

// What the relay reads from a client's request and writes back, and the calendar of its
// monthly ledger. Pure; any thread.
namespace RelayWire {

// A request the relay can run: the action (never custom), the target language (English
// unless the action is translate) and the text exactly as sent.
struct Job {
    TextAction action;
    Language language;
    QString text;
};

// An error reply: the HTTP status, the service code and a message the client may show.
struct Failure {
    int status = 500;
    ProxyErrorCode code = ProxyErrorCode::internalError;
    QString message;
};

// Reads {"action", "style", "targetLanguage", "text"}. Malformed JSON, an unknown action,
// style or language, or a missing or empty text is BAD_REQUEST.
std::variant<Job, Failure> parseJob(const QByteArray& body);

// {"error": code, "message": message}.
QByteArray errorBody(const Failure& failure);

// {"text", "usage": {"prompt_tokens", "completion_tokens"},
//  "quota": {"remaining_tokens", "resets_at"}}.
QByteArray replyBody(const QString& text, qint64 promptTokens, qint64 completionTokens,
                     qint64 remainingTokens, const QDateTime& resetsAt);

// Compares dotted versions piece by piece as numbers ("1.10" is above "1.9"; a missing
// piece counts as 0). Nothing when either is not made of dotted digits.
std::optional<int> compareVersions(const QString& left, const QString& right);

// The ledger's month of an instant: "2026-03" in UTC.
QString monthKey(const QDateTime& now);
// The first instant of the next month in UTC.
QDateTime nextMonthStart(const QDateTime& now);
// "2026-04-01T00:00:00Z".
QString internetDateTime(const QDateTime& instant);

} // namespace RelayWire
