// SPDX-License-Identifier: MIT
#pragma once

#include "ai/ProxyError.h"
#include "core/Clock.h"

#include <QByteArray>
#include <QNetworkRequest>
#include <QString>
#include <QUrl>
#include <chrono>
#include <optional>
#include <qcoro/qcorotask.h>
#include <variant>

// Every HTTP exchange of the application: the AI clients' POSTs and GETs, the update feed and
// the release files. Each call gets a fresh network stack, so nothing (cookies, cache,
// credentials, open connections) carries over from one call to the next; one attempt; a
// whole-request time-out on the given clock. Main thread.
//
// For the AI clients, redirects are followed only within the same scheme, host and port:
// the request carries a bearer credential, and a redirect must never hand it to another
// server.
namespace HttpExchange {

// A reply with an HTTP status, whatever that status is.
struct Response {
    int status = 0;
    QByteArray body;
};

// The exchange itself failed: no connection, time-out, TLS, a connection cut short, a reply
// that is not HTTP at all. The description is the platform's sentence for it.
struct TransportError {
    QString description;
    NetworkFailure failure = NetworkFailure::other;
    bool operator==(const TransportError&) const = default;
};

// The address names something other than an HTTP server (a file:, ftp: or data: URL).
struct NonHttpResponse {};

// The reply grew past maxReplyBytes and was abandoned there.
struct ReplyTooLarge {
    bool operator==(const ReplyTooLarge&) const = default;
};

using Result = std::variant<Response, TransportError, NonHttpResponse, ReplyTooLarge>;

// No answer of a chat model comes near this; a server that sends more is not answering.
inline constexpr qint64 maxReplyBytes = 4 * 1024 * 1024;
// "reply larger than 4 MiB", the log's words for ReplyTooLarge.
QString tooLargeDescription();

// The description of a request stopped by the whole-request time-out.
QString timedOutDescription();

// An absolute URL with a scheme (and a host for http and https); nothing when `text` does
// not parse as one.
std::optional<QUrl> parseURL(const QString& text);

// A JSON POST request without cache or cookies, whose transfer is abandoned when no data
// moves for `idleTimeout`.
QNetworkRequest makeRequest(const QUrl& url, std::chrono::milliseconds idleTimeout);

// Sends `body` and waits for the whole reply, at most `requestTimeout` on `clock` and at most
// maxReplyBytes of body (counted after any decompression).
QCoro::Task<Result> post(Clock& clock, QNetworkRequest request, QByteArray body,
                         std::chrono::milliseconds requestTimeout);
// The same as a GET.
QCoro::Task<Result> get(Clock& clock, QNetworkRequest request,
                        std::chrono::milliseconds requestTimeout);
// A POST with a body, a GET without one.
QCoro::Task<Result> send(Clock& clock, QNetworkRequest request, std::optional<QByteArray> body,
                         std::chrono::milliseconds requestTimeout);

// Plain GETs for the update feed and the file it points to. http, https and file URLs are
// accepted; nothing secret is sent, so redirects may go elsewhere, but never from https
// down to http.
struct Failure {
    QString description;
    bool operator==(const Failure&) const = default;
};

// The whole body of a 2xx reply, waiting at most `timeout` on `clock`.
QCoro::Task<std::variant<QByteArray, Failure>> fetch(Clock& clock, QUrl url,
                                                     std::chrono::milliseconds timeout);

// Streams the body of a 2xx reply into the file at `destination` (created or truncated),
// giving up when no data moves for `idleTimeout`. Nothing on success; the file may hold a
// partial body after a failure.
QCoro::Task<std::optional<Failure>> download(QUrl url, QString destination,
                                             std::chrono::milliseconds idleTimeout);

} // namespace HttpExchange
