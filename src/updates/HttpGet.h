// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <chrono>
#include <optional>
#include <qcoro/qcorotask.h>
#include <variant>

// Plain GET requests for the update feed and the file it points to. Each request gets a
// fresh network stack without cookies or cache, so a stale feed is never served from
// disk. Main thread.
namespace HttpGet {

struct Failure {
    QString description;
    bool operator==(const Failure&) const = default;
};

using Result = std::variant<QByteArray, Failure>;

// The whole body of a 2xx reply, waiting at most `timeout` on the platform clock.
// http, https and file URLs are accepted.
QCoro::Task<Result> fetch(QUrl url, std::chrono::milliseconds timeout);

// Streams the body of a 2xx reply into the file at `destination` (created or truncated),
// giving up when no data moves for `idleTimeout`. Nothing on success; the file may hold a
// partial body after a failure.
QCoro::Task<std::optional<Failure>> download(QUrl url, QString destination,
                                             std::chrono::milliseconds idleTimeout);

} // namespace HttpGet
