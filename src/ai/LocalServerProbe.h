// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>
#include <qcoro/qcorotask.h>

// Looks for OpenAI-compatible servers running on this computer: asks each loopback port for
// its model list (GET /v1/models), all ports at once, each for at most `timeout` on the
// clock. No key is sent; whatever listens there is not the service the key is for.
// Main thread.
namespace LocalServerProbe {

inline constexpr std::chrono::milliseconds timeout{1500};

// A port where a known kind of server usually listens.
struct Candidate {
    QString name;
    quint16 port = 0;
};

// A candidate that answered with a model list.
struct Server {
    QString name;
    QString baseURL;
    QStringList models;
    bool operator==(const Server&) const = default;
};

// Ollama 11434, llama.cpp 8080, LM Studio 1234, vLLM 8000.
QList<Candidate> usualPorts();

// The candidates that answered like an OpenAI-compatible API, in the order given. Those that
// refuse, time out or answer something else are left out.
QCoro::Task<QList<Server>> find(Clock& clock, QList<Candidate> candidates);

} // namespace LocalServerProbe
