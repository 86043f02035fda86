// SPDX-License-Identifier: MIT
#include "platform/x11/X11NoticeWait.h"

void X11NoticeWait::watch(X11Connection& x11)
{
    if (m_x11)
        return;
    m_x11 = &x11;
    m_events = x11.listen({[this](const xcb_generic_event_t& event) {
                               if (!m_isNotice(event))
                                   return;
                               m_noticed = true;
                               m_wakeup.wakeLater();
                           },
                           {}});
}

QCoro::Task<> X11NoticeWait::next(std::chrono::milliseconds timeout)
{
    m_noticed = false;
    if (m_x11)
        m_x11->handOutEvents();
    if (m_noticed)
        co_return;
    const std::unique_ptr<ClockTimer> timer =
        m_clock.startTimer(timeout, [this] { m_wakeup.wakeLater(); });
    co_await m_wakeup.next();
}
