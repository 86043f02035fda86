// SPDX-License-Identifier: MIT
#include "relay/RelayUpstream.h"

#include "core/NextEventLoopTurn.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QPointer>
#include <coroutine>
#include <qcoro/qcoronetworkreply.h>

namespace {

constexpr size_t managerCount = 8;

RelayUpstream::Result answerOf(int status, const QByteArray& body)
{
    const QJsonObject reply = QJsonDocument::fromJson(body).object();
    const QJsonValue content = reply.value(QStringLiteral("choices"))
                                   .toArray()
                                   .at(0)
                                   .toObject()
                                   .value(QStringLiteral("message"))
                                   .toObject()
                                   .value(QStringLiteral("content"));
    if (!content.isString())
        return RelayUpstream::Failure{false, status,
                                      QStringLiteral("reply without choices[0].message.content")};
    const QJsonObject usage = reply.value(QStringLiteral("usage")).toObject();
    RelayUpstream::Answer answer{content.toString(),
                                 usage.value(QStringLiteral("prompt_tokens")).toInteger(),
                                 usage.value(QStringLiteral("completion_tokens")).toInteger(),
                                 usage.contains(QStringLiteral("prompt_tokens")) ||
                                     usage.contains(QStringLiteral("completion_tokens"))};
    return answer;
}

} // namespace

RelayUpstream::RelayUpstream(Clock& clock, QString baseURL, QByteArray key)
    : m_clock(clock)
    , m_endpoint(std::move(baseURL) + QStringLiteral("/chat/completions"))
    , m_key(std::move(key))
{
    for (size_t i = 0; i < managerCount; ++i) {
        m_managers.push_back(std::make_unique<QNetworkAccessManager>());
        m_managers.back()->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    }
}

QNetworkAccessManager& RelayUpstream::nextManager()
{
    m_next = (m_next + 1) % m_managers.size();
    return *m_managers[m_next];
}

QCoro::Task<RelayUpstream::Result> RelayUpstream::complete(QString model, QString system,
                                                           QString user,
                                                           std::chrono::milliseconds timeout)
{
    QNetworkRequest request{QUrl(m_endpoint)};
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    if (!m_key.isEmpty())
        request.setRawHeader("Authorization", QByteArrayLiteral("Bearer ") + m_key);
    const QJsonObject body{
        {QStringLiteral("model"), model},
        {QStringLiteral("messages"),
         QJsonArray{QJsonObject{{QStringLiteral("role"), QStringLiteral("system")},
                                {QStringLiteral("content"), system}},
                    QJsonObject{{QStringLiteral("role"), QStringLiteral("user")},
                                {QStringLiteral("content"), user}}}},
        {QStringLiteral("temperature"), 0.3}};

    std::unique_ptr<QNetworkReply> reply(
        nextManager().post(request, QJsonDocument(body).toJson(QJsonDocument::Compact)));
    bool timedOut = false;
    auto deadline = m_clock.startTimer(timeout, [&timedOut, target = QPointer(reply.get())] {
        timedOut = true;
        if (target)
            target->abort();
    });
    co_await reply.get();
    deadline.reset();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    Result result;
    if (timedOut) {
        result =
            Failure{true, 0, QStringLiteral("no answer within %1 s").arg(timeout.count() / 1000)};
    } else if (!status.isValid()) {
        result = Failure{false, 0, reply->errorString()};
    } else if (status.toInt() < 200 || status.toInt() > 299) {
        result = Failure{false, status.toInt(), QStringLiteral("HTTP %1").arg(status.toInt())};
    } else {
        result = answerOf(status.toInt(), reply->readAll());
    }
    co_await NextEventLoopTurn{};
    co_return result;
}
