// SPDX-License-Identifier: MIT
#pragma once

#include "core/Log.h"
#include "platform/x11/X11Display.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QString>
#include <cstdint>
#include <functional>
#include <xcb/xcb.h>

// Raw XInput 2 events of the whole desktop, selected on the root window for every master
// device. Raw events reach every client that selects them whatever window they go to and
// even while another client holds a grab, and selecting them grabs nothing, so every
// application still gets its input. The events arrive on a private X connection (watched by
// a socket notifier), opened on start and closed on stop, so Qt's own connection is never
// touched. The double-tap key source and the outside-click watcher each run one. Main
// thread only.
class XInputRawEvents {
public:
    // Every event the connection delivers, raw XInput ones and core ones (a keymap change)
    // alike; the handler may stop this source.
    using Handler = std::function<void(const xcb_generic_event_t& event)>;

    // `who` names the listener in its log lines ("double-tap watcher"), `what` the events it
    // selects ("raw keys"); `eventMask` is a set of XCB_INPUT_XI_EVENT_MASK_RAW_* bits.
    XInputRawEvents(X11Display display, Logger log, QString who, QString what, uint32_t eventMask);
    ~XInputRawEvents();
    XInputRawEvents(const XInputRawEvents&) = delete;
    XInputRawEvents& operator=(const XInputRawEvents&) = delete;

    // Opens the connection, runs `prepare` on it, then selects the raw events; false (and
    // nothing held) when the display or XInput 2.2 is missing, which is logged.
    [[nodiscard]] bool start(Handler handler,
                             const std::function<void(xcb_connection_t*)>& prepare = {});
    void stop();
    bool isRunning() const { return m_connection != nullptr; }
    xcb_connection_t* connection() const { return m_connection; }
    // The major opcode of XInput on this connection, which raw events carry as extension.
    uint8_t opcode() const { return m_opcode; }

private:
    void readEvents();

    X11Display m_display;
    Logger m_log;
    QString m_who;
    QString m_what;
    uint32_t m_eventMask;
    Handler m_handler;
    xcb_connection_t* m_connection = nullptr;
    uint8_t m_opcode = 0;
    QPointer<QSocketNotifier> m_notifier;
    bool m_reading = false;
};
