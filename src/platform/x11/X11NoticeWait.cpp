// SPDX-License-Identifier: MIT
#include "platform/x11/X11NoticeWait.h"

#include <cstdlib>

void X11NoticeWait::watch(xcb_connection_t* connection)
{
    if (m_connection || !connection)
        return;
    m_connection = connection;
    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection),
                                                   QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] {
        if (takeEvents())
            m_wakeup.wakeLater();
    });
}

bool X11NoticeWait::takeEvents()
{
    if (!m_connection)
        return false;
    bool notice = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        notice = notice || m_isNotice(*event);
        std::free(event);
    }
    return notice;
}

QCoro::Task<> X11NoticeWait::next(std::chrono::milliseconds timeout)
{
    if (takeEvents())
        co_return;
    const std::unique_ptr<ClockTimer> timer =
        m_clock.startTimer(timeout, [this] { m_wakeup.wakeLater(); });
    co_await m_wakeup.next();
}
