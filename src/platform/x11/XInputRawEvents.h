// SPDX-License-Identifier: MIT
#pragma once

#include "core/Log.h"
#include "platform/x11/X11Connection.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <xcb/xcb.h>

// Raw XInput 2 events of the whole desktop, selected on the root window for every master
// device. Raw events reach every client that selects them whatever window they go to and
// even while another client holds a grab, and selecting them grabs nothing, so every
// application still gets its input. They arrive on the X connection the adapters share (never
// Qt's), selected on start and given up on stop. The double-tap key source and the
// outside-click watcher each run one. The connection is borrowed and must outlive this. Main
// thread only.
class XInputRawEvents {
public:
    // Every event the connection delivers, raw XInput ones and core ones (a keymap change)
    // alike; the handler may stop this source.
    using Handler = std::function<void(const xcb_generic_event_t& event)>;

    // `who` names the listener in its log lines ("double-tap watcher"), `what` the events it
    // selects ("raw keys"); `eventMask` is a set of XCB_INPUT_XI_EVENT_MASK_RAW_* bits.
    XInputRawEvents(X11Connection& x11, Logger log, QString who, QString what, uint32_t eventMask);
    ~XInputRawEvents();
    XInputRawEvents(const XInputRawEvents&) = delete;
    XInputRawEvents& operator=(const XInputRawEvents&) = delete;

    // Runs `prepare` on the connection, then selects the raw events; false (and nothing
    // held) when the display or XInput 2.2 is missing, which is logged.
    [[nodiscard]] bool start(Handler handler,
                             const std::function<void(xcb_connection_t*)>& prepare = {});
    void stop();
    bool isRunning() const { return m_events.isActive(); }
    // The connection while running; null otherwise.
    xcb_connection_t* connection() const { return isRunning() ? m_x11.get() : nullptr; }
    // The major opcode of XInput on this connection, which raw events carry as extension.
    uint8_t opcode() const { return m_opcode; }

private:
    bool fail(const QString& why);

    X11Connection& m_x11;
    Logger m_log;
    QString m_who;
    QString m_what;
    uint32_t m_eventMask;
    Handler m_handler;
    uint8_t m_opcode = 0;
    X11Connection::Subscription m_events;
};
