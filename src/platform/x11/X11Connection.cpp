// SPDX-License-Identifier: MIT
#include "platform/x11/X11Connection.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <algorithm>
#include <cstdlib>
#include <utility>
#include <xcb/xcb.h>
#include <xcb/xinput.h>
// The XKB protocol header names a struct member "explicit", which C++ reserves.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-x11.h>

void X11Connection::FreeDeleter::operator()(void* pointer) const
{
    std::free(pointer);
}

X11Connection::Subscription::Subscription(Subscription&& other) noexcept
    : m_connection(std::exchange(other.m_connection, nullptr))
    , m_id(other.m_id)
{}

X11Connection::Subscription& X11Connection::Subscription::operator=(Subscription&& other) noexcept
{
    if (this != &other) {
        reset();
        m_connection = std::exchange(other.m_connection, nullptr);
        m_id = other.m_id;
    }
    return *this;
}

void X11Connection::Subscription::reset()
{
    if (m_connection)
        m_connection->stopListening(m_id);
    m_connection = nullptr;
}

X11Connection::X11Connection(X11Display display)
    : m_display(display)
{}

X11Connection::~X11Connection()
{
    reset();
}

void X11Connection::reset()
{
    if (m_notifier) {
        m_notifier->setEnabled(false);
        // Inside the notifier's own signal it may only go once that is over.
        if (m_handingOut)
            m_notifier->deleteLater();
        else
            delete m_notifier;
        m_notifier = nullptr;
    }
    if (m_connection)
        X11Display::close(m_connection);
    m_connection = nullptr;
    m_root = 0;
    m_keyboard = -1;
    m_xkbEvent = 0;
    m_xkbTried = false;
    m_inputOpcode = 0;
    m_inputTried = false;
    m_atoms.clear();
    m_kept.clear();
}

void X11Connection::drop()
{
    reset();
    const std::vector<Entry> listeners = m_listeners;
    for (const Entry& entry : listeners) {
        if (isListening(entry.id) && entry.listener->lost)
            entry.listener->lost();
    }
}

xcb_connection_t* X11Connection::get()
{
    if (m_connection && xcb_connection_has_error(m_connection))
        drop();
    // A listener told of the loss may have opened the new connection already.
    if (!m_connection) {
        const X11Display::Connection opened = m_display.open(true);
        m_connection = opened.connection;
        m_root = opened.root;
        if (!m_connection)
            return nullptr;
        if (m_rootEvents)
            selectRootEvents(0);
        if (m_keyboardNotices)
            applyKeyboardNotices(m_keyboardNotices);
        if (m_inputEvents && inputOpcode())
            applyInputEvents();
        if (!m_listeners.empty())
            watch();
    }
    handOutSoon();
    return m_connection;
}

uint32_t X11Connection::root()
{
    return get() ? m_root : 0;
}

uint32_t X11Connection::atom(const char* name)
{
    xcb_connection_t* connection = get();
    if (!connection)
        return 0;
    const QByteArray key(name);
    if (const auto found = m_atoms.constFind(key); found != m_atoms.constEnd())
        return *found;
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(key.size()), key.constData()), nullptr);
    const uint32_t atom = reply ? reply->atom : 0;
    std::free(reply);
    if (atom)
        m_atoms.insert(key, atom);
    return atom;
}

int32_t X11Connection::keyboardDevice()
{
    xcb_connection_t* connection = get();
    if (!connection)
        return -1;
    if (!m_xkbTried) {
        m_xkbTried = true;
        const int ready = xkb_x11_setup_xkb_extension(
            connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr);
        if (ready)
            m_keyboard = xkb_x11_get_core_keyboard_device_id(connection);
        const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(connection, &xcb_xkb_id);
        if (m_keyboard >= 0 && xkb && xkb->present)
            m_xkbEvent = xkb->first_event;
    }
    return m_keyboard;
}

X11Connection::Subscription X11Connection::listen(Listener listener)
{
    m_listeners.push_back({++m_lastId, std::make_shared<Listener>(std::move(listener))});
    if (m_connection)
        watch();
    return {this, m_lastId};
}

bool X11Connection::isListening(uint64_t id) const
{
    return std::any_of(m_listeners.begin(), m_listeners.end(),
                       [id](const Entry& entry) { return entry.id == id; });
}

void X11Connection::stopListening(uint64_t id)
{
    std::erase_if(m_listeners, [id](const Entry& entry) { return entry.id == id; });
}

void X11Connection::watch()
{
    // Without an event loop (a command run from the shell) the users hand out events
    // themselves.
    if (m_notifier || !m_connection || !QCoreApplication::instance())
        return;
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
    QObject::connect(m_notifier, &QSocketNotifier::activated, &m_context,
                     [this] { handOut(true); });
    handOutSoon();
}

void X11Connection::handOutSoon()
{
    if (m_handOutQueued || m_listeners.empty() || !QCoreApplication::instance())
        return;
    m_handOutQueued = true;
    QMetaObject::invokeMethod(
        &m_context,
        [this] {
            m_handOutQueued = false;
            handOut(true);
        },
        Qt::QueuedConnection);
}

void X11Connection::handOutEvents()
{
    handOut(false);
}

void X11Connection::handOut(bool fromEventLoop)
{
    if (m_handingOut || !m_connection || m_listeners.empty())
        return;
    m_handingOut = true;
    const auto done = qScopeGuard([this] { m_handingOut = false; });
    // What was kept for the event-loop listeners came before anything read now.
    while (fromEventLoop && !m_kept.empty()) {
        const Kept kept = std::move(m_kept.front());
        m_kept.pop_front();
        deliver(*kept.event, false, true, kept.lastListener);
    }
    while (m_connection) {
        Event event(xcb_poll_for_event(m_connection));
        if (!event) {
            if (xcb_connection_has_error(m_connection))
                drop();
            break;
        }
        deliver(*event, true, fromEventLoop, m_lastId);
        const bool someoneWaits =
            std::any_of(m_listeners.begin(), m_listeners.end(),
                        [](const Entry& e) { return e.listener->fromEventLoop; });
        if (!fromEventLoop && someoneWaits && m_connection)
            m_kept.push_back({std::move(event), m_lastId});
    }
    if (!m_kept.empty())
        handOutSoon();
}

void X11Connection::deliver(const xcb_generic_event_t& event, bool immediate, bool fromEventLoop,
                            uint64_t lastListener)
{
    // A listener may stop listening, or end another one, while the event goes round.
    const std::vector<Entry> listeners = m_listeners;
    for (const Entry& entry : listeners) {
        const Listener& listener = *entry.listener;
        const bool now = listener.fromEventLoop ? fromEventLoop : immediate;
        if (now && entry.id <= lastListener && isListening(entry.id) && listener.event)
            listener.event(event);
    }
}

void X11Connection::selectRootEvents(uint32_t mask)
{
    xcb_connection_t* connection = get();
    m_rootEvents |= mask;
    if (!connection)
        return;
    xcb_change_window_attributes(connection, m_root, XCB_CW_EVENT_MASK, &m_rootEvents);
    xcb_flush(connection);
}

bool X11Connection::selectKeyboardNotices(uint16_t notices)
{
    if (!applyKeyboardNotices(notices))
        return false;
    m_keyboardNotices |= notices;
    return true;
}

bool X11Connection::applyKeyboardNotices(uint16_t notices)
{
    const int32_t device = keyboardDevice();
    if (device < 0)
        return false;
    // Only the notices named are affected, so those selected before stay selected.
    constexpr uint16_t mapParts = 0xff;
    const std::unique_ptr<xcb_generic_error_t, FreeDeleter> error(xcb_request_check(
        m_connection,
        xcb_xkb_select_events_checked(m_connection, xcb_xkb_device_spec_t(device), notices, 0,
                                      notices, mapParts, mapParts, nullptr)));
    return !error;
}

uint8_t X11Connection::inputOpcode()
{
    xcb_connection_t* connection = get();
    if (!connection)
        return 0;
    if (!m_inputTried) {
        m_inputTried = true;
        // Raw events reach a client in spite of other clients' grabs only from XInput 2.1 on,
        // and only when the client has said it speaks that version.
        const xcb_query_extension_reply_t* extension =
            xcb_get_extension_data(connection, &xcb_input_id);
        const std::unique_ptr<xcb_input_xi_query_version_reply_t, FreeDeleter> version(
            extension && extension->present
                ? xcb_input_xi_query_version_reply(
                      connection, xcb_input_xi_query_version(connection, 2, 2), nullptr)
                : nullptr);
        if (version && (version->major_version > 2 ||
                        (version->major_version == 2 && version->minor_version >= 2)))
            m_inputOpcode = extension->major_opcode;
    }
    return m_inputOpcode;
}

bool X11Connection::selectInputEvents(uint32_t mask)
{
    if (!inputOpcode())
        return false;
    const auto count = [this](uint32_t bits, int change) {
        for (size_t bit = 0; bit < m_inputUsers.size(); ++bit) {
            if (bits & (1U << bit))
                m_inputUsers[bit] = uint16_t(m_inputUsers[bit] + change);
            if (m_inputUsers[bit])
                m_inputEvents |= 1U << bit;
            else
                m_inputEvents &= ~(1U << bit);
        }
    };
    count(mask, 1);
    if (applyInputEvents())
        return true;
    count(mask, -1);
    return false;
}

void X11Connection::deselectInputEvents(uint32_t mask)
{
    for (size_t bit = 0; bit < m_inputUsers.size(); ++bit) {
        if ((mask & (1U << bit)) && m_inputUsers[bit] && --m_inputUsers[bit] == 0)
            m_inputEvents &= ~(1U << bit);
    }
    // Without a connection there is nothing to take away; a new one gets what is left.
    if (m_connection && !xcb_connection_has_error(m_connection) && m_inputOpcode)
        applyInputEvents();
}

bool X11Connection::applyInputEvents()
{
    // One mask for the whole client: it replaces what was selected before.
    struct {
        xcb_input_event_mask_t head;
        uint32_t bits;
    } mask = {{XCB_INPUT_DEVICE_ALL_MASTER, 1}, m_inputEvents};
    const std::unique_ptr<xcb_generic_error_t, FreeDeleter> error(xcb_request_check(
        m_connection, xcb_input_xi_select_events_checked(m_connection, m_root, 1, &mask.head)));
    return !error;
}
