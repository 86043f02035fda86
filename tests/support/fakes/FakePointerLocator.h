// SPDX-License-Identifier: MIT
#pragma once

#include "core/Wakeup.h"
#include "platform/PointerLocator.h"

// A desktop asked where the pointer is, which answers when the test says so.
class FakePointerLocator final : public PointerLocator {
public:
    QCoro::Task<std::optional<QPoint>> locate(std::chrono::milliseconds) override
    {
        co_await m_answered.next();
        co_return m_answer;
    }
    void answer(std::optional<QPoint> point)
    {
        m_answer = point;
        m_answered.wake();
    }

private:
    std::optional<QPoint> m_answer;
    Wakeup m_answered;
};
