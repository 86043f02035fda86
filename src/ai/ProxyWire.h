// SPDX-License-Identifier: MIT
#pragma once

#include "ai/AIGateway.h"
#include "ai/ProxyError.h"
#include "core/Language.h"
#include "core/TextAction.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <optional>
#include <variant>

// The hosted service's wire format: what a request carries and how a reply or an error
// body is read. Pure; any thread.
namespace ProxyWire {

// The action's name on the wire and, for a rewrite, its tone.
struct WireAction {
    QString action;
    std::optional<QString> style;
    bool operator==(const WireAction&) const = default;
};

// A successful reply: the text exactly as the service sent it, and its quota if any.
struct AIResult {
    Completion completion;
    std::optional<Quota> quota;
};

// The wire fields of an action. A custom instruction has none: the service only runs its
// own instructions, so it fails here with nothing sent.
std::variant<WireAction, ProxyError> wireAction(const TextAction& action);

// {"action", "style" (rewrite only), "targetLanguage" (translate only, the id), "text"}.
QJsonObject requestBody(const WireAction& wire, const QString& text, const Language& language);

// Reads a 2xx body; a body that is not a reply or whose "text" is empty is the
// unexpected-reply error with the body's size in the detail.
std::variant<AIResult, ProxyError> decodeReply(const QByteArray& body);

// Reads an error body: the service's code and message; without a message, the body itself
// for the log and the generic sentence for the user.
ProxyError apiError(const QByteArray& body);

// "QUOTA_EXCEEDED: Monthly limit reached" becomes "Monthly limit reached": a leading code
// made of capitals and underscores is dropped with the blanks around the rest.
QString stripCodePrefix(const QString& message);

// The version to send as "X-App-Version": only dotted digits such as "1.4" or "2.10.3".
std::optional<QString> reportableVersion(const QString& version);

// An internet date-time with or without fractional seconds ("2026-04-01T00:00:00.5Z",
// "2026-04-01T02:00:00+02:00"); nothing when it is not one.
std::optional<QDateTime> parseResetsAt(const QString& text);

} // namespace ProxyWire
