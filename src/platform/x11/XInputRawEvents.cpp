// SPDX-License-Identifier: MIT
#include "platform/x11/XInputRawEvents.h"

XInputRawEvents::XInputRawEvents(X11Connection& x11, Logger log, QString who, QString what,
                                 uint32_t eventMask)
    : m_x11(x11)
    , m_log(log)
    , m_who(std::move(who))
    , m_what(std::move(what))
    , m_eventMask(eventMask)
{}

XInputRawEvents::~XInputRawEvents()
{
    stop();
}

bool XInputRawEvents::fail(const QString& why)
{
    m_handler = nullptr;
    m_log.error(QStringLiteral("%1: %2").arg(m_who, why));
    return false;
}

bool XInputRawEvents::start(Handler handler, const std::function<void(xcb_connection_t*)>& prepare)
{
    m_handler = std::move(handler);
    if (isRunning())
        return true;
    xcb_connection_t* connection = m_x11.get();
    if (!connection)
        return fail(QStringLiteral("no X display"));
    // Raw events reach a client in spite of other clients' grabs only from XInput 2.1 on,
    // and only when the client has said it speaks that version.
    m_opcode = m_x11.inputOpcode();
    if (!m_opcode)
        return fail(QStringLiteral("XInput 2.2 not available"));
    if (prepare)
        prepare(connection);
    m_events = m_x11.listen({[this](const xcb_generic_event_t& event) {
                                 // The handler may stop this source.
                                 const Handler handler = m_handler;
                                 if (handler)
                                     handler(event);
                             },
                             [this] {
                                 // Nothing more will arrive; a new connection is not watched.
                                 m_log.error(QStringLiteral("%1: X connection lost").arg(m_who));
                                 m_handler = nullptr;
                                 m_events.reset();
                                 m_x11.deselectInputEvents(m_eventMask);
                             },
                             // The handlers reach into the application.
                             true});
    if (m_x11.selectInputEvents(m_eventMask))
        return true;
    m_events.reset();
    return fail(QStringLiteral("selecting %1 failed").arg(m_what));
}

void XInputRawEvents::stop()
{
    m_handler = nullptr;
    if (!isRunning())
        return;
    m_events.reset();
    m_x11.deselectInputEvents(m_eventMask);
}
