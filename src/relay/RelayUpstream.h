// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"

#include <QList>
#include <QNetworkAccessManager>
#include <QString>
#include <chrono>
#include <memory>
#include <qcoro/qcorotask.h>
#include <variant>

// The relay's client of an OpenAI-compatible chat-completions server (OpenAI, llama.cpp,
// vLLM, a gateway). Main thread.
class RelayUpstream {
public:
    struct Answer {
        QString content; // as the model wrote it
        qint64 promptTokens = 0;
        qint64 completionTokens = 0;
        bool usageReported = false;
    };
    struct Failure {
        bool timedOut = false;
        int status = 0; // the upstream's HTTP status, 0 when none arrived
        QString detail; // for the log; never holds the user's text or the key
    };
    using Result = std::variant<Answer, Failure>;

    // `baseURL` ends before "/chat/completions" (e.g. "https://api.openai.com/v1"); an
    // empty key sends no Authorization header (a local server may need none).
    RelayUpstream(Clock& clock, QString baseURL, QByteArray key);

    QCoro::Task<Result> complete(QString model, QString system, QString user,
                                 std::chrono::milliseconds timeout);

private:
    QNetworkAccessManager& nextManager();

    Clock& m_clock;
    QString m_endpoint;
    QByteArray m_key;
    // Qt opens at most six connections to a host per manager; a few managers in turn let
    // more requests run at the upstream at once.
    std::vector<std::unique_ptr<QNetworkAccessManager>> m_managers;
    size_t m_next = 0;
};
