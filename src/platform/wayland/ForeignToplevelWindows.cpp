// SPDX-License-Identifier: MIT
#include "platform/wayland/ForeignToplevelWindows.h"

#include "platform/wayland/WaylandConnection.h"

#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <algorithm>
#include <wayland-client.h>

namespace {

using Toplevel = ForeignToplevelWindows::Toplevel;

Toplevel* toplevelOf(void* data)
{
    return static_cast<Toplevel*>(data);
}

const zwlr_foreign_toplevel_handle_v1_listener toplevelListener = {
    .title = [](void* data, zwlr_foreign_toplevel_handle_v1*,
                const char* title) { toplevelOf(data)->pendingTitle = QString::fromUtf8(title); },
    .app_id = [](void* data, zwlr_foreign_toplevel_handle_v1*,
                 const char* appId) { toplevelOf(data)->pendingAppId = QString::fromUtf8(appId); },
    .output_enter = [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},
    .output_leave = [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},
    .state =
        [](void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
            bool activated = false;
            const auto* state = static_cast<const uint32_t*>(states->data);
            for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i)
                activated |= state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
            toplevelOf(data)->pendingActivated = activated;
        },
    .done =
        [](void* data, zwlr_foreign_toplevel_handle_v1*) {
            Toplevel* toplevel = toplevelOf(data);
            toplevel->appId = toplevel->pendingAppId;
            toplevel->title = toplevel->pendingTitle;
            toplevel->activated = toplevel->pendingActivated;
            toplevel->owner->changed();
        },
    .closed =
        [](void* data, zwlr_foreign_toplevel_handle_v1*) {
            toplevelOf(data)->owner->closed(toplevelOf(data));
        },
    .parent = [](void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {},
};

const zwlr_foreign_toplevel_manager_v1_listener managerListener = {
    .toplevel =
        [](void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* handle) {
            static_cast<ForeignToplevelWindows*>(data)->added(handle);
        },
    .finished = [](void*, zwlr_foreign_toplevel_manager_v1*) {},
};

} // namespace

ForeignToplevelWindows::ForeignToplevelWindows(WaylandConnection& connection, FrontmostWindows* x11,
                                               Clock& clock)
    : m_connection(connection)
    , m_x11(x11)
    , m_clock(clock)
{
    m_manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
        connection.bind(&zwlr_foreign_toplevel_manager_v1_interface, 3));
    if (m_manager)
        zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &managerListener, this);
    QObject::connect(&connection, &WaylandConnection::lost, &m_context,
                     [this] { m_wakeup.wakeLater(); });
    connection.flush();
}

ForeignToplevelWindows::~ForeignToplevelWindows()
{
    if (!m_connection.isAlive())
        return;
    for (const std::unique_ptr<Toplevel>& toplevel : m_toplevels)
        zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
    if (m_manager)
        zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    m_connection.flush();
}

bool ForeignToplevelWindows::isOffered(const WaylandConnection& connection)
{
    return connection.offers(zwlr_foreign_toplevel_manager_v1_interface.name);
}

void ForeignToplevelWindows::added(zwlr_foreign_toplevel_handle_v1* handle)
{
    auto toplevel = std::make_unique<Toplevel>();
    toplevel->owner = this;
    toplevel->handle = handle;
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &toplevelListener, toplevel.get());
    m_toplevels.push_back(std::move(toplevel));
}

void ForeignToplevelWindows::changed()
{
    m_wakeup.wakeLater();
}

void ForeignToplevelWindows::closed(Toplevel* toplevel)
{
    zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
    std::erase_if(m_toplevels, [toplevel](const auto& each) { return each.get() == toplevel; });
    m_wakeup.wakeLater();
}

const Toplevel* ForeignToplevelWindows::active() const
{
    for (const std::unique_ptr<Toplevel>& toplevel : m_toplevels)
        if (toplevel->activated)
            return toplevel.get();
    return nullptr;
}

std::optional<TargetApplication> ForeignToplevelWindows::frontmost()
{
    // An X11 window in front is better known through XWayland: by its window id.
    if (m_x11)
        if (std::optional<TargetApplication> x11 = m_x11->frontmost())
            return x11;
    const Toplevel* toplevel = active();
    if (!toplevel)
        return std::nullopt;
    TargetApplication application;
    application.wmClass = toplevel->appId;
    application.title = toplevel->title;
    return application;
}

bool ForeignToplevelWindows::isActive(const TargetApplication& application)
{
    if (application.windowID != 0)
        return m_x11 && m_x11->isActive(application);
    const Toplevel* toplevel = active();
    return toplevel && toplevel->appId == application.wmClass &&
           toplevel->title == application.title;
}

void ForeignToplevelWindows::activate(const TargetApplication& application)
{
    if (application.windowID != 0) {
        if (m_x11)
            m_x11->activate(application);
        return;
    }
    for (const std::unique_ptr<Toplevel>& toplevel : m_toplevels)
        if (toplevel->appId == application.wmClass && toplevel->title == application.title) {
            zwlr_foreign_toplevel_handle_v1_activate(toplevel->handle, m_connection.seat());
            m_connection.flush();
            return;
        }
}

QCoro::Task<> ForeignToplevelWindows::activeWindowChanged(std::chrono::milliseconds timeout)
{
    const std::unique_ptr<ClockTimer> timer =
        m_clock.startTimer(timeout, [this] { m_wakeup.wakeLater(); });
    co_await m_wakeup.next();
}
