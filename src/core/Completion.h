// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstdint>

// One successful AI call: the model's answer and the tokens it cost.
struct Completion {
    QString text;
    int64_t promptTokens = 0;
    int64_t completionTokens = 0;

    bool operator==(const Completion&) const = default;
};
