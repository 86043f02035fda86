// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "core/Wakeup.h"

#include <QSocketNotifier>
#include <chrono>
#include <functional>
#include <memory>
#include <qcoro/qcorotask.h>
#include <xcb/xcb.h>

// Waits for a notice on an adapter's own X connection (a modifier change, a new active
// window): the adapter selects the events once, then watch() reads the connection whenever it
// has something, and next() completes at the first event `isNotice` accepts or after a
// time-out on the clock (borrowed; it must outlive the wait). Events the adapter's own requests
// pulled off the socket while waiting for a reply count too: next() looks at them first. Main
// thread only.
class X11NoticeWait {
public:
    using Filter = std::function<bool(const xcb_generic_event_t& event)>;

    X11NoticeWait(Clock& clock, Filter isNotice)
        : m_clock(clock)
        , m_isNotice(std::move(isNotice))
    {}

    // Starts reading the connection, which must outlive this wait.
    void watch(xcb_connection_t* connection);
    bool isWatching() const { return m_connection != nullptr; }
    // Without a connection watched it waits the whole time-out, unless wakeLater() is called.
    QCoro::Task<> next(std::chrono::milliseconds timeout);
    // Wakes the waiters for a reason of the adapter's own (from the event loop).
    void wakeLater() { m_wakeup.wakeLater(); }
    // Reads the events the connection holds now, as the notifier would on its next turn.
    void takeWaitingEvents()
    {
        if (takeEvents())
            m_wakeup.wakeLater();
    }

private:
    // Takes every event the connection holds; true when one was a notice.
    bool takeEvents();

    Clock& m_clock;
    Filter m_isNotice;
    xcb_connection_t* m_connection = nullptr;
    std::unique_ptr<QSocketNotifier> m_notifier;
    Wakeup m_wakeup;
};
