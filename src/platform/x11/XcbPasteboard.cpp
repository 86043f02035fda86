// SPDX-License-Identifier: MIT
#include "platform/x11/XcbPasteboard.h"

#include "core/Log.h"

#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

namespace {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;

// Targets larger than this are served in INCR pieces of `pieceSize`.
constexpr qsizetype incrementalAbove = 256 * 1024;
constexpr qsizetype pieceSize = 256 * 1024;

// The X text targets under which Quillmark's own plain text is offered too.
const QStringList textTargets = {
    QStringLiteral("UTF8_STRING"),
    QStringLiteral("text/plain;charset=utf-8"),
    QStringLiteral("TEXT"),
    QStringLiteral("STRING"),
};

} // namespace

// An INCR transfer to one requestor: the next piece goes out each time it deletes the
// property.
struct XcbPasteboard::Transfer {
    uint32_t requestor = 0;
    uint32_t property = 0;
    uint32_t type = 0;
    QByteArray bytes;
    qsizetype offset = 0;
};

XcbPasteboard::XcbPasteboard(Clock& clock, X11Connection& x11)
    : XcbPasteboard(clock, x11, Deadlines{})
{}

XcbPasteboard::XcbPasteboard(Clock& clock, X11Connection& x11, Deadlines deadlines)
    : m_x11(x11)
    , m_clock(clock)
    , m_deadlines(deadlines)
{}

XcbPasteboard::~XcbPasteboard()
{
    m_events.reset();
    // The connection outlives the pasteboard, so its window (and with it a selection it owns)
    // goes now, as it would with a connection of its own.
    if (!m_ready)
        return;
    if (xcb_connection_t* connection = m_x11.get()) {
        xcb_destroy_window(connection, m_window);
        xcb_flush(connection);
    }
}

bool XcbPasteboard::setUp()
{
    xcb_connection_t* connection = m_x11.get();
    if (!connection)
        return false;
    if (m_ready)
        return true;
    m_window = xcb_generate_id(connection);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, m_window, m_x11.root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);
    m_property = m_x11.atom("QUILLMARK_SELECTION");
    const uint32_t clipboard = m_x11.atom("CLIPBOARD");
    std::free(xcb_xfixes_query_version_reply(
        connection, xcb_xfixes_query_version(connection, XCB_XFIXES_MAJOR_VERSION, 0), nullptr));
    if (const xcb_query_extension_reply_t* xfixes =
            xcb_get_extension_data(connection, &xcb_xfixes_id);
        xfixes && xfixes->present) {
        m_xfixesEvent = xfixes->first_event;
        xcb_xfixes_select_selection_input(
            connection, m_window, clipboard,
            XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    }
    // Woken from the event loop, not from the hand-out: a waiter resumed there would pump
    // again from inside it.
    m_events = m_x11.listen({[this](const xcb_generic_event_t& event) {
                                 if (handle(&event))
                                     m_wakeup.wakeLater();
                             },
                             [this] {
                                 // The window went with the connection; a new one is made on
                                 // the next use.
                                 m_ready = false;
                                 m_events.reset();
                             }});
    xcb_flush(connection);
    m_ready = true;
    return true;
}

void XcbPasteboard::pump()
{
    xcb_connection_t* connection = m_x11.get();
    if (!connection || !m_ready)
        return;
    m_x11.handOutEvents();
    xcb_flush(connection);
}

bool XcbPasteboard::handle(const void* raw)
{
    const auto* event = static_cast<const xcb_generic_event_t*>(raw);
    const uint8_t type = event->response_type & 0x7f;
    if (m_xfixesEvent && type == m_xfixesEvent + XCB_XFIXES_SELECTION_NOTIFY) {
        if (static_cast<const xcb_xfixes_selection_notify_event_t*>(raw)->window != m_window)
            return false;
        ++m_changeCount;
        return true;
    }
    switch (type) {
    case XCB_SELECTION_NOTIFY: {
        const auto* notify = static_cast<const xcb_selection_notify_event_t*>(raw);
        if (!m_reading || m_reading->notified || notify->requestor != m_window ||
            notify->target != m_reading->target)
            return notify->requestor == m_window;
        m_reading->notified = true;
        if (notify->property == XCB_NONE) {
            m_reading->refused = true;
            m_reading->finished = true;
            return true;
        }
        takeProperty(*m_reading);
        return true;
    }
    case XCB_PROPERTY_NOTIFY: {
        const auto* change = static_cast<const xcb_property_notify_event_t*>(raw);
        if (change->window == m_window && change->atom == m_property &&
            change->state == XCB_PROPERTY_NEW_VALUE && m_reading && m_reading->incremental &&
            !m_reading->finished) {
            takeProperty(*m_reading);
            return true;
        }
        if (change->state == XCB_PROPERTY_DELETE)
            return continueTransfer(change->window, change->atom);
        return change->window == m_window;
    }
    case XCB_SELECTION_REQUEST:
        // A request to another window of this connection is its owner's to answer.
        if (static_cast<const xcb_selection_request_event_t*>(raw)->owner != m_window)
            return false;
        serve(raw);
        return true;
    case XCB_SELECTION_CLEAR:
        if (static_cast<const xcb_selection_clear_event_t*>(raw)->owner != m_window)
            return false;
        m_served.lost();
        return true;
    default:
        return false;
    }
}

void XcbPasteboard::takeProperty(Reading& reading)
{
    xcb_connection_t* connection = m_x11.get();
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 1, m_window, m_property,
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4),
                               nullptr));
    if (!reply) {
        reading.refused = true;
        reading.finished = true;
        return;
    }
    const int length = xcb_get_property_value_length(reply.get());
    const auto* value = static_cast<const char*>(xcb_get_property_value(reply.get()));
    if (!reading.incremental && reply->type == m_x11.atom("INCR")) {
        // Deleting the property (done by this read) asks the owner for the first piece.
        reading.incremental = true;
        return;
    }
    if (reading.incremental) {
        if (length == 0)
            reading.finished = true;
        else
            reading.bytes.append(value, length);
        reading.newPiece = true;
        return;
    }
    reading.bytes = QByteArray(value, length);
    reading.finished = true;
}

void XcbPasteboard::serve(const void* raw)
{
    const auto* request = static_cast<const xcb_selection_request_event_t*>(raw);
    xcb_connection_t* connection = m_x11.get();
    // Clients older than ICCCM 2 name no property: the target is used instead.
    const uint32_t property = request->property ? request->property : request->target;
    xcb_selection_notify_event_t notify;
    std::memset(&notify, 0, sizeof notify);
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request->time;
    notify.requestor = request->requestor;
    notify.selection = request->selection;
    notify.target = request->target;
    notify.property = XCB_NONE;

    if (m_served.item() && request->owner == m_window &&
        request->selection == m_x11.atom("CLIPBOARD")) {
        const QString target = atomName(request->target);
        if (target == QLatin1String("TARGETS")) {
            std::vector<uint32_t> targets{request->target};
            QStringList names = m_served.item()->keys();
            if (m_served.item()->contains(QLatin1String(PasteboardType::plainText)))
                names += textTargets;
            names.removeDuplicates();
            for (const QString& name : names)
                targets.push_back(atom(name));
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request->requestor, property,
                                XCB_ATOM_ATOM, 32, uint32_t(targets.size()), targets.data());
            notify.property = property;
        } else if (const std::optional<QByteArray> bytes = bytesFor(*m_served.item(), target)) {
            if (bytes->size() > incrementalAbove) {
                const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(connection, request->requestor, XCB_CW_EVENT_MASK,
                                             &events);
                const auto size = uint32_t(bytes->size());
                xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request->requestor, property,
                                    m_x11.atom("INCR"), 32, 1, &size);
                m_transfers.push_back(std::make_unique<Transfer>(
                    Transfer{request->requestor, property, request->target, *bytes, 0}));
            } else {
                xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request->requestor, property,
                                    request->target, 8, uint32_t(bytes->size()),
                                    bytes->constData());
            }
            notify.property = property;
        }
    }
    xcb_send_event(connection, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&notify));
    xcb_flush(connection);
}

bool XcbPasteboard::continueTransfer(uint32_t window, uint32_t property)
{
    const auto found = std::find_if(m_transfers.begin(), m_transfers.end(), [&](const auto& t) {
        return t->requestor == window && t->property == property;
    });
    if (found == m_transfers.end())
        return false;
    Transfer& transfer = **found;
    // The last piece is an empty one, which tells the requestor the transfer is over.
    const QByteArray piece = transfer.bytes.mid(transfer.offset, pieceSize);
    xcb_change_property(m_x11.get(), XCB_PROP_MODE_REPLACE, window, property, transfer.type, 8,
                        uint32_t(piece.size()), piece.constData());
    xcb_flush(m_x11.get());
    transfer.offset += piece.size();
    if (piece.isEmpty())
        m_transfers.erase(found);
    return true;
}

QCoro::Task<> XcbPasteboard::waitUntil(std::chrono::milliseconds deadline)
{
    const std::chrono::milliseconds now = m_clock.monotonicNow();
    if (now >= deadline)
        co_return;
    const std::unique_ptr<ClockTimer> timer =
        m_clock.startTimer(deadline - now, [this] { m_wakeup.wakeLater(); });
    co_await m_wakeup.next();
}

QCoro::Task<std::optional<QByteArray>> XcbPasteboard::read(uint32_t target,
                                                           std::chrono::milliseconds deadline)
{
    // One conversion at a time: they share the property the owners answer on.
    while (m_reading)
        co_await m_wakeup.next();
    xcb_connection_t* connection = m_x11.get();
    xcb_delete_property(connection, m_window, m_property);
    m_reading = Reading{target};
    xcb_convert_selection(connection, m_window, m_x11.atom("CLIPBOARD"), target, m_property,
                          XCB_CURRENT_TIME);
    xcb_flush(connection);
    std::chrono::milliseconds pieceDeadline =
        std::min(m_clock.monotonicNow() + m_deadlines.typeDeadline, deadline);
    while (true) {
        pump();
        if (m_reading->finished)
            break;
        const std::chrono::milliseconds now = m_clock.monotonicNow();
        if (m_reading->newPiece) {
            // A large item that keeps arriving may run past the budget, by a bounded time.
            m_reading->newPiece = false;
            pieceDeadline =
                std::min(now + m_deadlines.typeDeadline, deadline + m_deadlines.incrementalGrace);
        }
        if (now >= pieceDeadline)
            break;
        co_await waitUntil(pieceDeadline);
    }
    const Reading reading = std::exchange(m_reading, std::nullopt).value();
    m_wakeup.wakeLater();
    m_timedOut = !reading.finished;
    if (!reading.finished || reading.refused)
        co_return std::nullopt;
    co_return reading.bytes;
}

bool XcbPasteboard::ownsSelection()
{
    xcb_connection_t* connection = m_x11.get();
    const Reply<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, m_x11.atom("CLIPBOARD")), nullptr));
    return reply && reply->owner == m_window;
}

QCoro::Task<PasteboardSnapshot> XcbPasteboard::readOwner()
{
    xcb_connection_t* connection = m_x11.get();
    const Reply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, m_x11.atom("CLIPBOARD")), nullptr));
    if (!owner || owner->owner == XCB_NONE)
        co_return PasteboardSnapshot{};

    const std::chrono::milliseconds budgetEnd = m_clock.monotonicNow() + m_deadlines.snapshotBudget;
    const std::optional<QByteArray> listed =
        co_await read(atom(QStringLiteral("TARGETS")), budgetEnd);
    if (!listed) {
        if (m_timedOut)
            Log::capture().error(
                QStringLiteral("clipboard owner did not list its types in time — nothing saved"));
        co_return PasteboardSnapshot{};
    }
    std::vector<uint32_t> targets(size_t(listed->size()) / sizeof(uint32_t));
    std::memcpy(targets.data(), listed->constData(), targets.size() * sizeof(uint32_t));

    PasteboardSnapshot::Item item;
    QStringList leftOut;
    for (uint32_t target : targets) {
        const QString name = atomName(target);
        if (!PasteboardType::isRestorable(name) || item.contains(name) || leftOut.contains(name))
            continue;
        if (m_clock.monotonicNow() >= budgetEnd) {
            leftOut.append(name);
            continue;
        }
        const std::optional<QByteArray> bytes = co_await read(target, budgetEnd);
        if (bytes)
            item.insert(name, bytes->isNull() ? QByteArray("") : *bytes);
        else if (m_timedOut)
            leftOut.append(name);
    }
    co_return savedClipboard(item, leftOut);
}

QCoro::Task<PasteboardSnapshot> XcbPasteboard::snapshot()
{
    if (!setUp())
        co_return PasteboardSnapshot{};
    // Returned through a local: a task's co_return may move from what it is given.
    PasteboardSnapshot result;
    if (m_served.item() && ownsSelection()) {
        result = m_served.snapshotWhileServed();
        co_return result;
    }
    result = m_served.readFromOwner(co_await readOwner());
    co_return result;
}

void XcbPasteboard::write(const PasteboardSnapshot& contents)
{
    if (!setUp())
        return;
    xcb_connection_t* connection = m_x11.get();
    if (contents.isEmpty()) {
        m_served.cleared();
        xcb_set_selection_owner(connection, XCB_NONE, m_x11.atom("CLIPBOARD"), XCB_CURRENT_TIME);
    } else {
        // The X11 clipboard holds one item; a later item would only overwrite the first.
        m_served.wrote(contents.items.first());
        xcb_set_selection_owner(connection, m_window, m_x11.atom("CLIPBOARD"), XCB_CURRENT_TIME);
    }
    // The round trip brings the owner-change notice of this very write, so the change
    // count the caller reads next already includes it.
    (void)ownsSelection();
    pump();
}

int64_t XcbPasteboard::changeCount()
{
    if (setUp())
        pump();
    return m_changeCount;
}

QCoro::Task<> XcbPasteboard::waitForChange(int64_t seen, std::chrono::milliseconds timeout)
{
    const std::chrono::milliseconds deadline = m_clock.monotonicNow() + timeout;
    if (!setUp()) {
        co_await m_clock.sleep(timeout);
        co_return;
    }
    // The owner-change notice wakes the wait the moment it arrives.
    while (changeCount() == seen && m_clock.monotonicNow() < deadline)
        co_await waitUntil(deadline);
}

QCoro::Task<std::optional<QString>> XcbPasteboard::readText()
{
    if (!setUp())
        co_return std::nullopt;
    if (m_served.item() && ownsSelection()) {
        const std::optional<QByteArray> own =
            bytesFor(*m_served.item(), QStringLiteral("UTF8_STRING"));
        co_return own ? std::optional<QString>(QString::fromUtf8(*own)) : std::nullopt;
    }
    const std::chrono::milliseconds budgetEnd = m_clock.monotonicNow() + m_deadlines.snapshotBudget;
    for (const QString& target :
         {QStringLiteral("UTF8_STRING"), QStringLiteral("text/plain;charset=utf-8"),
          QStringLiteral("STRING")}) {
        const std::optional<QByteArray> bytes = co_await read(atom(target), budgetEnd);
        if (bytes)
            co_return target == QLatin1String("STRING") ? QString::fromLatin1(*bytes)
                                                        : QString::fromUtf8(*bytes);
        if (m_timedOut)
            break;
    }
    co_return std::nullopt;
}

std::optional<QByteArray> XcbPasteboard::bytesFor(const PasteboardSnapshot::Item& item,
                                                  const QString& target)
{
    if (const auto found = item.constFind(target); found != item.constEnd())
        return found->isNull() ? QByteArray("") : *found;
    const auto text = item.constFind(QLatin1String(PasteboardType::plainText));
    if (text == item.constEnd() || !textTargets.contains(target))
        return std::nullopt;
    if (target == QLatin1String("STRING"))
        return QString::fromUtf8(*text).toLatin1();
    return *text;
}

uint32_t XcbPasteboard::atom(const QString& name)
{
    return m_x11.atom(name.toUtf8().constData());
}

QString XcbPasteboard::atomName(uint32_t atom)
{
    if (const auto found = m_names.constFind(atom); found != m_names.constEnd())
        return *found;
    xcb_connection_t* connection = m_x11.get();
    const Reply<xcb_get_atom_name_reply_t> reply(
        xcb_get_atom_name_reply(connection, xcb_get_atom_name(connection, atom), nullptr));
    if (!reply)
        return {};
    const QString name = QString::fromUtf8(xcb_get_atom_name_name(reply.get()),
                                           xcb_get_atom_name_name_length(reply.get()));
    m_names.insert(atom, name);
    return name;
}
