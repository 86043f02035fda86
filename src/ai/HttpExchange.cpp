// SPDX-License-Identifier: MIT
#include "ai/HttpExchange.h"

#include "core/NextEventLoopTurn.h"

#include <QCoreApplication>
#include <QFile>
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

// A request without cache or cookies whose transfer is abandoned when no data moves for
// `idleTimeout`.
QNetworkRequest freshRequest(const QUrl& url, std::chrono::milliseconds idleTimeout,
                             QNetworkRequest::RedirectPolicy redirects)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, redirects);
    request.setTransferTimeout(int(idleTimeout.count()));
    return request;
}

// The whole-request time-out: aborts the reply when the clock says the time is up,
// unless the returned timer is destroyed first. `timedOut` tells the two kinds of abort apart.
std::unique_ptr<ClockTimer> startDeadline(Clock& clock, QNetworkReply* reply,
                                          std::chrono::milliseconds timeout, bool& timedOut)
{
    return clock.startTimer(timeout, [&timedOut, target = QPointer<QNetworkReply>(reply)] {
        timedOut = true;
        if (target)
            target->abort();
    });
}

// Release files commonly sit behind a redirect to a download host.
QNetworkRequest getRequest(const QUrl& url, std::chrono::milliseconds idleTimeout)
{
    return freshRequest(url, idleTimeout, QNetworkRequest::NoLessSafeRedirectPolicy);
}

bool isSupportedForGet(const QUrl& url)
{
    return url.isValid() && (isHttpScheme(url) || url.scheme() == u"file");
}

std::optional<Failure> failureOfGet(QNetworkReply& reply, bool timedOut)
{
    if (timedOut || reply.error() == QNetworkReply::OperationCanceledError)
        return Failure{timedOutDescription()};
    if (reply.error() != QNetworkReply::NoError)
        return Failure{reply.errorString()};
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299))
        return Failure{QStringLiteral("The server answered with HTTP status %1.")
                           .arg(QString::number(status.toInt()))};
    return std::nullopt;
}

Failure unsupported(const QUrl& url)
{
    return Failure{QStringLiteral("Unsupported address: %1").arg(url.toString())};
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
    QNetworkRequest request =
        freshRequest(url, idleTimeout, QNetworkRequest::SameOriginRedirectPolicy);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    return request;
}

QCoro::Task<Result> post(Clock& clock, QNetworkRequest request, QByteArray body,
                         std::chrono::milliseconds requestTimeout)
{
    co_return co_await send(clock, std::move(request), std::move(body), requestTimeout);
}

QCoro::Task<Result> get(Clock& clock, QNetworkRequest request,
                        std::chrono::milliseconds requestTimeout)
{
    co_return co_await send(clock, std::move(request), std::nullopt, requestTimeout);
}

QCoro::Task<Result> send(Clock& clock, QNetworkRequest request, std::optional<QByteArray> body,
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
    auto timeout = startDeadline(clock, reply.get(), requestTimeout, timedOut);

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

QCoro::Task<std::variant<QByteArray, Failure>> fetch(Clock& clock, QUrl url,
                                                     std::chrono::milliseconds timeout)
{
    if (!isSupportedForGet(url))
        co_return unsupported(url);

    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(manager.get(getRequest(url, timeout)));
    bool timedOut = false;
    auto deadline = startDeadline(clock, reply.get(), timeout, timedOut);

    co_await reply.get();
    deadline.reset();
    const std::optional<Failure> failure = failureOfGet(*reply, timedOut);
    std::variant<QByteArray, Failure> result;
    if (failure)
        result = *failure;
    else
        result = reply->readAll();
    co_await NextEventLoopTurn{};
    co_return result;
}

QCoro::Task<std::optional<Failure>> download(QUrl url, QString destination,
                                             std::chrono::milliseconds idleTimeout)
{
    if (!isSupportedForGet(url))
        co_return unsupported(url);
    QFile file(destination);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        co_return Failure{file.errorString()};

    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(manager.get(getRequest(url, idleTimeout)));
    bool writeFailed = false;
    QObject::connect(reply.get(), &QIODevice::readyRead, reply.get(), [&] {
        const QByteArray chunk = reply->readAll();
        if (!writeFailed && file.write(chunk) != chunk.size()) {
            writeFailed = true;
            reply->abort();
        }
    });

    co_await reply.get();
    std::optional<Failure> failure;
    if (writeFailed)
        failure = Failure{file.errorString()};
    else
        failure = failureOfGet(*reply, false);
    if (!failure) {
        const QByteArray rest = reply->readAll();
        if (file.write(rest) != rest.size() || !file.flush())
            failure = Failure{file.errorString()};
    }
    co_await NextEventLoopTurn{};
    co_return failure;
}

} // namespace HttpExchange
