// SPDX-License-Identifier: MIT
#include "updates/HttpGet.h"

#include "core/NextEventLoopTurn.h"

#include "platform/Platform.h"

#include <QCoreApplication>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <coroutine>
#include <memory>
#include <qcoro/qcoronetworkreply.h>

namespace HttpGet {

namespace {

QNetworkRequest makeRequest(const QUrl& url, std::chrono::milliseconds idleTimeout)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    // Release files commonly sit behind a redirect to a download host; nothing secret is
    // sent, but a redirect from https down to http is still refused.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(int(idleTimeout.count()));
    return request;
}

bool isSupported(const QUrl& url)
{
    const QString scheme = url.scheme();
    return url.isValid() && (scheme == u"http" || scheme == u"https" || scheme == u"file");
}

std::optional<Failure> failureOf(QNetworkReply& reply, bool timedOut)
{
    if (timedOut || reply.error() == QNetworkReply::OperationCanceledError)
        return Failure{QStringLiteral("The request timed out.")};
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

QCoro::Task<Result> fetch(QUrl url, std::chrono::milliseconds timeout)
{
    if (!isSupported(url))
        co_return unsupported(url);

    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(manager.get(makeRequest(url, timeout)));
    bool timedOut = false;
    auto deadline = Platform::clock().startTimer(
        timeout, [&timedOut, target = QPointer<QNetworkReply>(reply.get())] {
            timedOut = true;
            if (target)
                target->abort();
        });

    co_await reply.get();
    deadline.reset();
    std::optional<Failure> failure = failureOf(*reply, timedOut);
    Result result = failure ? Result(*failure) : Result(reply->readAll());
    co_await NextEventLoopTurn{};
    co_return result;
}

QCoro::Task<std::optional<Failure>> download(QUrl url, QString destination,
                                             std::chrono::milliseconds idleTimeout)
{
    if (!isSupported(url))
        co_return unsupported(url);
    QFile file(destination);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        co_return Failure{file.errorString()};

    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(manager.get(makeRequest(url, idleTimeout)));
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
        failure = failureOf(*reply, false);
    if (!failure) {
        const QByteArray rest = reply->readAll();
        if (file.write(rest) != rest.size() || !file.flush())
            failure = Failure{file.errorString()};
    }
    co_await NextEventLoopTurn{};
    co_return failure;
}

} // namespace HttpGet
