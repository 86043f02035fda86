// SPDX-License-Identifier: MIT
#include "ai/LocalServerProbe.h"

#include "ai/OpenAIClient.h"
#include "core/Log.h"

#include <vector>

namespace LocalServerProbe {

QList<Candidate> usualPorts()
{
    return {{QStringLiteral("Ollama"), 11434},
            {QStringLiteral("llama.cpp"), 8080},
            {QStringLiteral("LM Studio"), 1234},
            {QStringLiteral("vLLM"), 8000}};
}

QCoro::Task<QList<Server>> find(Clock& clock, QList<Candidate> candidates)
{
    // Every request is under way before the first answer is awaited, so one silent port
    // costs the time-out once, not once per port after it.
    std::vector<QCoro::Task<OpenAIClient::ModelList>> asked;
    QStringList addresses;
    for (const Candidate& candidate : candidates) {
        addresses.append(QStringLiteral("http://127.0.0.1:%1").arg(candidate.port));
        asked.push_back(OpenAIClient::models(clock, QString(), addresses.last(), timeout));
    }
    QList<Server> found;
    QStringList named;
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        auto answer = co_await std::move(asked[std::size_t(i)]);
        if (auto* models = std::get_if<QStringList>(&answer)) {
            found.append({candidates[i].name, addresses[i], std::move(*models)});
            named.append(candidates[i].name);
        }
    }
    Log::ai().info(QStringLiteral("local servers: %1 of %2 answered%3")
                       .arg(QString::number(found.size()), QString::number(candidates.size()),
                            named.isEmpty()
                                ? QString()
                                : QStringLiteral(" (") + named.join(QStringLiteral(", ")) +
                                      QStringLiteral(")")));
    co_return found;
}

} // namespace LocalServerProbe
