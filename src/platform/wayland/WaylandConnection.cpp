// SPDX-License-Identifier: MIT
#include "platform/wayland/WaylandConnection.h"

#include "core/Log.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <wayland-client.h>

namespace {

void onSyncDone(void* data, wl_callback* callback, uint32_t /*serial*/)
{
    *static_cast<bool*>(data) = true;
    wl_callback_destroy(callback);
}
const wl_callback_listener syncListener = {.done = &onSyncDone};

} // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::open(std::chrono::milliseconds bound)
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return nullptr;
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        Log::app().error(QStringLiteral("Wayland: cannot connect to the compositor (%1)")
                             .arg(qEnvironmentVariable("WAYLAND_DISPLAY")));
        return nullptr;
    }
    std::unique_ptr<WaylandConnection> connection(new WaylandConnection(display));
    if (!connection->learnGlobals(bound))
        return nullptr;
    return connection;
}

WaylandConnection::WaylandConnection(wl_display* display)
    : m_display(display)
{
    static const wl_registry_listener listener = {
        .global = &WaylandConnection::onGlobal,
        .global_remove = &WaylandConnection::onGlobalRemove,
    };
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &listener, this);
}

WaylandConnection::~WaylandConnection()
{
    m_notifier.reset();
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
}

// The one wait for the compositor: at start, before anything is shown, bounded.
bool WaylandConnection::learnGlobals(std::chrono::milliseconds bound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    // The second answer follows what binding the seat brought: its capabilities, so that
    // they are known once open() returns.
    bool done = false;
    for (int round = 0; round < 2 && (round == 0 || done); ++round) {
        done = false;
        wl_callback* callback = wl_display_sync(m_display);
        wl_callback_add_listener(callback, &syncListener, &done);
        while (!done) {
            if (wl_display_flush(m_display) < 0 && errno != EAGAIN)
                break;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd fd{.fd = wl_display_get_fd(m_display), .events = POLLIN, .revents = 0};
            if (left.count() <= 0 || ::poll(&fd, 1, int(left.count())) <= 0)
                break;
            if (wl_display_dispatch(m_display) < 0)
                break;
        }
    }
    if (!done) {
        Log::app().error(QStringLiteral("Wayland: the compositor did not list its globals"));
        return false;
    }
    m_notifier =
        std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { readEvents(); });
    // Requests are buffered; whatever an adapter queued goes out before the loop sleeps.
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (m_alive)
                dispatchPending();
        });
    return true;
}

bool WaylandConnection::offers(const char* interface) const
{
    for (const Global& global : m_globals)
        if (global.interface == interface)
            return true;
    return false;
}

void* WaylandConnection::bind(const wl_interface* interface, uint32_t version)
{
    for (const Global& global : m_globals)
        if (global.interface == interface->name)
            return wl_registry_bind(m_registry, global.name, interface,
                                    std::min(version, global.version));
    return nullptr;
}

void* WaylandConnection::bind(const Global& global, const wl_interface* interface, uint32_t version)
{
    return wl_registry_bind(m_registry, global.name, interface, std::min(version, global.version));
}

void WaylandConnection::flush()
{
    if (m_alive && wl_display_flush(m_display) < 0 && errno != EAGAIN)
        markLost();
}

void WaylandConnection::readEvents()
{
    if (!m_alive)
        return;
    while (wl_display_prepare_read(m_display) != 0)
        wl_display_dispatch_pending(m_display);
    if (wl_display_read_events(m_display) < 0) {
        markLost();
        return;
    }
    dispatchPending();
}

void WaylandConnection::dispatchPending()
{
    const int dispatched = wl_display_dispatch_pending(m_display);
    if (dispatched < 0) {
        markLost();
        return;
    }
    flush();
    // Only news wakes the adapters: a wake-up that came every time the loop is about to
    // sleep would keep it from ever sleeping.
    if (dispatched > 0)
        emit eventsDispatched();
}

void WaylandConnection::markLost()
{
    if (!m_alive)
        return;
    m_alive = false;
    if (m_notifier)
        m_notifier->setEnabled(false);
    Log::app().error(QStringLiteral("Wayland: the connection to the compositor was lost (%1)")
                         .arg(wl_display_get_error(m_display)));
    emit lost();
}

void WaylandConnection::onGlobal(void* data, wl_registry* /*registry*/, uint32_t name,
                                 const char* interface, uint32_t version)
{
    auto* self = static_cast<WaylandConnection*>(data);
    self->m_globals.append({name, QByteArray(interface), version});
    if (self->m_seat || qstrcmp(interface, wl_seat_interface.name) != 0)
        return;
    static const wl_seat_listener seatListener = {
        .capabilities =
            [](void* data, wl_seat*, uint32_t capabilities) {
                auto* connection = static_cast<WaylandConnection*>(data);
                connection->m_seatCapabilities = capabilities;
                emit connection->seatCapabilitiesChanged(capabilities);
            },
        .name = [](void*, wl_seat*, const char*) {},
    };
    self->m_seat = static_cast<wl_seat*>(
        wl_registry_bind(self->m_registry, name, &wl_seat_interface, std::min(version, 5u)));
    wl_seat_add_listener(self->m_seat, &seatListener, self);
}

void WaylandConnection::onGlobalRemove(void* data, wl_registry* /*registry*/, uint32_t name)
{
    auto* self = static_cast<WaylandConnection*>(data);
    self->m_globals.removeIf([name](const Global& global) { return global.name == name; });
}
