// SPDX-License-Identifier: MIT
#include "platform/x11/XInputRawEvents.h"

#include <QScopeGuard>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#include <xcb/xinput.h>

namespace {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <class T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

} // namespace

XInputRawEvents::XInputRawEvents(X11Display display, Logger log, QString who, QString what,
                                 uint32_t eventMask)
    : m_display(display)
    , m_log(log)
    , m_who(std::move(who))
    , m_what(std::move(what))
    , m_eventMask(eventMask)
{}

XInputRawEvents::~XInputRawEvents()
{
    stop();
}

bool XInputRawEvents::start(Handler handler, const std::function<void(xcb_connection_t*)>& prepare)
{
    m_handler = std::move(handler);
    if (m_connection)
        return true;
    const X11Display::Connection opened = m_display.open();
    xcb_connection_t* connection = opened.connection;
    const auto fail = [this](xcb_connection_t* connection, const QString& why) {
        X11Display::close(connection);
        m_connection = nullptr;
        m_handler = nullptr;
        m_log.error(QStringLiteral("%1: %2").arg(m_who, why));
        return false;
    };
    if (!connection)
        return fail(nullptr, QStringLiteral("no X display"));
    // Raw events reach a client in spite of other clients' grabs only from XInput 2.1 on,
    // and only when the client has said it speaks that version.
    const xcb_query_extension_reply_t* extension =
        xcb_get_extension_data(connection, &xcb_input_id);
    XcbReply<xcb_input_xi_query_version_reply_t> version(
        extension && extension->present
            ? xcb_input_xi_query_version_reply(
                  connection, xcb_input_xi_query_version(connection, 2, 2), nullptr)
            : nullptr);
    if (!version || version->major_version < 2 ||
        (version->major_version == 2 && version->minor_version < 2))
        return fail(connection, QStringLiteral("XInput 2.2 not available"));
    m_connection = connection;
    m_opcode = extension->major_opcode;
    if (prepare)
        prepare(connection);

    struct {
        xcb_input_event_mask_t head;
        uint32_t bits;
    } mask = {{XCB_INPUT_DEVICE_ALL_MASTER, 1}, m_eventMask};
    XcbReply<xcb_generic_error_t> error(xcb_request_check(
        connection, xcb_input_xi_select_events_checked(connection, opened.root, 1, &mask.head)));
    if (error)
        return fail(connection, QStringLiteral("selecting %1 failed").arg(m_what));

    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read);
    QObject::connect(m_notifier, &QSocketNotifier::activated, m_notifier, [this] { readEvents(); });
    // Replies above may have pulled events into the queue behind the notifier's back.
    QMetaObject::invokeMethod(
        m_notifier.data(), [this] { readEvents(); }, Qt::QueuedConnection);
    return true;
}

void XInputRawEvents::stop()
{
    m_handler = nullptr;
    if (!m_connection)
        return;
    // A handler that stops its listener runs inside the notifier's own signal; the notifier
    // is silenced then and goes away once that is over.
    if (m_notifier) {
        m_notifier->setEnabled(false);
        if (m_reading)
            m_notifier->deleteLater();
        else
            delete m_notifier;
    }
    X11Display::close(m_connection);
    m_connection = nullptr;
}

void XInputRawEvents::readEvents()
{
    m_reading = true;
    const auto done = qScopeGuard([this] { m_reading = false; });
    xcb_connection_t* connection = m_connection;
    while (connection && connection == m_connection) {
        std::unique_ptr<xcb_generic_event_t, FreeDeleter> event(xcb_poll_for_event(connection));
        if (!event) {
            if (xcb_connection_has_error(connection)) {
                // The server went away; nothing more will arrive on this connection.
                m_log.error(QStringLiteral("%1: X connection lost").arg(m_who));
                stop();
            }
            return;
        }
        // The handler may stop this source; the loop condition notices that.
        const Handler handler = m_handler;
        if (handler)
            handler(*event);
    }
}
