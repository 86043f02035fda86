// SPDX-License-Identifier: MIT
#pragma once

#include "ai/ProxyError.h"
#include "app/Completion.h"
#include "app/Language.h"
#include "app/TextAction.h"

#include <QDateTime>
#include <optional>
#include <qcoro/qcorotask.h>
#include <variant>

// The hosted service's token allowance as its last reply reported it.
struct Quota {
    int64_t remainingTokens = 0;
    std::optional<QDateTime> resetsAt;
    bool operator==(const Quota&) const = default;
};

// The one entry point for running a text action: it picks the back-end (the user's own
// OpenAI-compatible key, or the hosted service) and turns every failure of either into a
// ProxyError. Main thread only; holds no state.
namespace AIGateway {

struct Outcome {
    Completion completion;
    std::optional<Quota> quota;
};

using Result = std::variant<Outcome, ProxyError>;

// True when "useOwnAPIKey" is on and the key store holds a non-empty key.
bool isUsingOwnKey();

QCoro::Task<Result> perform(TextAction action, QString text, Language language);

} // namespace AIGateway
