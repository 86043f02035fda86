// SPDX-License-Identifier: MIT
#pragma once

#include "platform/KeyEventSource.h"

#include <QStringList>

// Key events typed by the test. Records "start" (or "start refused" while `available` is
// false) and "stop" in `calls`; flags() and key() reach the handler only while started, as
// they would from a desktop whose listener is installed.
class FakeKeyEventSource final : public KeyEventSource {
public:
    bool start(Handler handler) override
    {
        if (!available) {
            calls.append(QStringLiteral("start refused"));
            return false;
        }
        calls.append(QStringLiteral("start"));
        m_handler = std::move(handler);
        return true;
    }

    void stop() override
    {
        calls.append(QStringLiteral("stop"));
        m_handler = nullptr;
    }

    bool isStarted() const { return bool(m_handler); }

    // The held modifiers changed to these flags.
    void flags(uint64_t modifierFlags) { deliver({Event::Kind::flagsChanged, modifierFlags}); }
    // A key other than a modifier went down.
    void key() { deliver({Event::Kind::keyDown, 0}); }

    bool available = true;
    QStringList calls;

private:
    void deliver(const Event& event)
    {
        // The handler may stop this source, which drops the stored one.
        const Handler handler = m_handler;
        if (handler)
            handler(event);
    }

    Handler m_handler;
};
