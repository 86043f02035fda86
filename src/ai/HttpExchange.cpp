// SPDX-License-Identifier: MIT
#include "ai/HttpExchange.h"

#include "core/NextEventLoopTurn.h"

#include "platform/Platform.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <coroutine>
#include <memory>
#include <qcoro/qcoronetworkreply.h>

namespace HttpExchange {

namespace {

// Errors that Qt raises for a reply whose status line arrived and says 4xx or 5xx. Every
// other error means the exchange itself broke, even when a status had already arrived.
bool isHttpStatusError(QNetworkReply::NetworkError error)
{
    const int code = int(error);
    return error == QNetworkReply::NoError || (code >= 201 && code <= 299) ||
           error == QNetworkReply::ProtocolInvalidOperationError || (code >= 401 && code <= 499);
}

NetworkFailure failureOf(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return NetworkFailure::refused;
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError:
        return NetworkFailure::unreachable;
    case QNetworkReply::SslHandshakeFailedError:
        return NetworkFailure::tls;
    default:
        return NetworkFailure::other;
    }
}

Result outcomeOf(QNetworkReply& reply, bool timedOut, bool tooLarge)
{
    if (tooLarge)
        return ReplyTooLarge{};
    // Nothing else cancels these replies: a cancellation the deadline did not cause is the
    // network stack giving up on a transfer that stopped moving.
    if (timedOut || reply.error() == QNetworkReply::OperationCanceledError ||
        reply.error() == QNetworkReply::TimeoutError)
        return TransportError{timedOutDescription(), NetworkFailure::timedOut};
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid() || !isHttpStatusError(reply.error()))
        return TransportError{reply.errorString(), failureOf(reply.error())};
    return Response{status.toInt(), reply.readAll()};
}

bool isHttpScheme(const QUrl& url)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

} // namespace

QString tooLargeDescription()
{
    return QStringLiteral("reply larger than %1 MiB").arg(maxReplyBytes / (1024 * 1024));
}

QString timedOutDescription()
{
    return QStringLiteral("The request timed out.");
}

std::optional<QUrl> parseURL(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return std::nullopt;
    if (isHttpScheme(url) && url.host().isEmpty())
        return std::nullopt;
    return url;
}

QNetworkRequest makeRequest(const QUrl& url, std::chrono::milliseconds idleTimeout)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::SameOriginRedirectPolicy);
    request.setTransferTimeout(int(idleTimeout.count()));
    return request;
}

QCoro::Task<Result> post(QNetworkRequest request, QByteArray body,
                         std::chrono::milliseconds requestTimeout)
{
    co_return co_await send(std::move(request), std::move(body), requestTimeout);
}

QCoro::Task<Result> get(QNetworkRequest request, std::chrono::milliseconds requestTimeout)
{
    co_return co_await send(std::move(request), std::nullopt, requestTimeout);
}

QCoro::Task<Result> send(QNetworkRequest request, std::optional<QByteArray> body,
                         std::chrono::milliseconds requestTimeout)
{
    // Only HTTP can answer with a status; other schemes are not handed to the network
    // stack at all (a POST to a file: URL has no meaning here).
    if (!isHttpScheme(request.url()))
        co_return NonHttpResponse{};

    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(body ? manager.post(request, *body)
                                              : manager.get(request));
    bool timedOut = false;
    auto timeout = Platform::clock().startTimer(
        requestTimeout, [&timedOut, target = QPointer<QNetworkReply>(reply.get())] {
            timedOut = true;
            if (target)
                target->abort();
        });

    // A server that keeps sending would otherwise fill memory until the time-out; the
    // announced length stops it before the first byte, the bytes received so far after.
    bool tooLarge = false;
    const auto stopWhenTooLarge = [&tooLarge, target = reply.get()] {
        const QVariant announced = target->header(QNetworkRequest::ContentLengthHeader);
        if (target->bytesAvailable() > maxReplyBytes ||
            (announced.isValid() && announced.toLongLong() > maxReplyBytes)) {
            tooLarge = true;
            target->abort();
        }
    };
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, reply.get(), stopWhenTooLarge);
    QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), stopWhenTooLarge);

    co_await reply.get();
    timeout.reset();
    Result result = outcomeOf(*reply, timedOut, tooLarge);
    co_await NextEventLoopTurn{};
    co_return result;
}

} // namespace HttpExchange
