// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AccessibilityBus.h"

#include <QStringList>

// An accessibility bus that answers at once with `state` and records "read" and
// "switch on"; a switch-on it accepts turns the state on.
class FakeAccessibilityBus final : public AccessibilityBus {
public:
    void readState(std::function<void(State)> done) override
    {
        calls.append(QStringLiteral("read"));
        done(state);
    }
    void switchOn(std::function<void(bool)> done) override
    {
        calls.append(QStringLiteral("switch on"));
        if (acceptsSwitchOn)
            state = State::on;
        done(acceptsSwitchOn);
    }

    State state = State::on;
    bool acceptsSwitchOn = true;
    QStringList calls;
};
