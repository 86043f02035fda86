// SPDX-License-Identifier: MIT
#pragma once

#include "LoopbackServer.h"

#include <QJsonArray>
#include <QJsonDocument>

// A chat-completions answer from the loopback model, with its token counts.
inline LoopbackServer::Reply modelAnswer(const QString& content, int in, int out)
{
    const QJsonObject body{
        {"choices", QJsonArray{QJsonObject{{"message", QJsonObject{{"content", content}}}}}},
        {"usage", QJsonObject{{"prompt_tokens", in}, {"completion_tokens", out}}}};
    return LoopbackServer::Reply::json(200, QJsonDocument(body).toJson());
}
