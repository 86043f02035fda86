// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "core/Wakeup.h"
#include "platform/x11/X11Connection.h"

#include <chrono>
#include <functional>
#include <qcoro/qcorotask.h>
#include <xcb/xcb.h>

// Waits for a notice on the X connection an adapter uses (a modifier change, a new active
// window): the adapter selects the events once, then watch() listens to the connection, and
// next() completes at the first event `isNotice` accepts or after a time-out on the clock
// (borrowed; it must outlive the wait). Events that requests pulled off the socket while
// waiting for a reply count too: next() has them handed out first. Main thread only.
class X11NoticeWait {
public:
    using Filter = std::function<bool(const xcb_generic_event_t& event)>;

    X11NoticeWait(Clock& clock, Filter isNotice)
        : m_clock(clock)
        , m_isNotice(std::move(isNotice))
    {}

    // Starts listening to the connection, which must outlive this wait.
    void watch(X11Connection& x11);
    bool isWatching() const { return m_x11 != nullptr; }
    // Without a connection watched it waits the whole time-out, unless wakeLater() is called.
    QCoro::Task<> next(std::chrono::milliseconds timeout);
    // Wakes the waiters for a reason of the adapter's own (from the event loop).
    void wakeLater() { m_wakeup.wakeLater(); }

private:
    Clock& m_clock;
    Filter m_isNotice;
    X11Connection* m_x11 = nullptr;
    // Set by a notice among the events handed out since next() began.
    bool m_noticed = false;
    Wakeup m_wakeup;
    X11Connection::Subscription m_events;
};
