// SPDX-License-Identifier: MIT
#pragma once

#include "platform/KeyEventSource.h"

// Key events typed by the test; flags() reaches the handler only while started, as it would
// from a desktop whose listener is installed.
class FakeKeyEventSource final : public KeyEventSource {
public:
    bool start(Handler handler) override
    {
        m_handler = std::move(handler);
        return true;
    }
    void stop() override { m_handler = nullptr; }
    bool isStarted() const { return bool(m_handler); }

    // The held modifiers changed to these flags.
    void flags(uint64_t modifierFlags)
    {
        if (const Handler handler = m_handler) // it may stop this source
            handler({Event::Kind::flagsChanged, modifierFlags});
    }

private:
    Handler m_handler;
};
