// SPDX-License-Identifier: MIT
#include "platform/wayland/LayerShellPointerLocator.h"

#include "core/Log.h"
#include "platform/wayland/WaylandConnection.h"

#include <QPointer>
#include <cmath>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
// The protocol names a parameter `namespace`, which C++ reserves.
#define namespace layerNamespace
#include <wlr-layer-shell-unstable-v1-client-protocol.h>
#undef namespace

namespace {

template <typename... Args> void ignore(void* /*data*/, Args... /*args*/) {}

} // namespace

// One question's surface: from its creation until the pointer entered it, the compositor
// closed it or the question's bound passed.
struct LayerShellPointerLocator::Overlay {
    LayerShellPointerLocator& locator;
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;
    wl_buffer* buffer = nullptr;
    // The output the compositor put the surface on, once it says.
    wl_output* output = nullptr;
    std::optional<QPointF> entered;
    bool closed = false;

    ~Overlay()
    {
        if (buffer)
            wl_buffer_destroy(buffer);
        if (layer)
            zwlr_layer_surface_v1_destroy(layer);
        if (surface)
            wl_surface_destroy(surface);
    }

    // Fully transparent, as large as the output: the compositor gives input only where the
    // surface has content, and shows nothing of a zeroed ARGB buffer.
    void configure(uint32_t serial, uint32_t width, uint32_t height)
    {
        zwlr_layer_surface_v1_ack_configure(layer, serial);
        if (buffer || width == 0 || height == 0)
            return;
        const int32_t stride = int32_t(width) * 4;
        const int32_t size = stride * int32_t(height);
        const int fd = memfd_create("quillmark-pointer", MFD_CLOEXEC);
        if (fd < 0 || ftruncate(fd, size) != 0) {
            if (fd >= 0)
                close(fd);
            closed = true;
            return;
        }
        wl_shm_pool* pool = wl_shm_create_pool(locator.m_shm, fd, size);
        buffer = wl_shm_pool_create_buffer(pool, 0, int32_t(width), int32_t(height), stride,
                                           WL_SHM_FORMAT_ARGB8888);
        wl_shm_pool_destroy(pool);
        close(fd);
        wl_surface_attach(surface, buffer, 0, 0);
        wl_surface_damage(surface, 0, 0, int32_t(width), int32_t(height));
        wl_surface_commit(surface);
    }
};

LayerShellPointerLocator::LayerShellPointerLocator(WaylandConnection& connection, Clock& clock)
    : m_connection(connection)
    , m_clock(clock)
{
    m_layerShell =
        static_cast<zwlr_layer_shell_v1*>(connection.bind(&zwlr_layer_shell_v1_interface, 2));
    if (!m_layerShell)
        return;
    m_compositor = static_cast<wl_compositor*>(connection.bind(&wl_compositor_interface, 4));
    m_shm = static_cast<wl_shm*>(connection.bind(&wl_shm_interface, 1));
    for (const WaylandConnection::Global& global : connection.globals()) {
        if (global.interface != wl_output_interface.name)
            continue;
        static const wl_output_listener listener = {
            .geometry =
                [](void* data, wl_output* output, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                   const char*, const char*, int32_t) {
                    auto* self = static_cast<LayerShellPointerLocator*>(data);
                    for (Output& known : self->m_outputs)
                        if (known.output == output)
                            known.position = QPoint(x, y);
                },
            .mode = &ignore<wl_output*, uint32_t, int32_t, int32_t, int32_t>,
            .done = &ignore<wl_output*>,
            .scale = &ignore<wl_output*, int32_t>,
            .name = &ignore<wl_output*, const char*>,
            .description = &ignore<wl_output*, const char*>,
        };
        auto* output = static_cast<wl_output*>(connection.bind(global, &wl_output_interface, 2));
        m_outputs.append({output, QPoint()});
        wl_output_add_listener(output, &listener, this);
    }
    // The pointer is asked for only while the seat says it has one.
    QObject::connect(&connection, &WaylandConnection::seatCapabilitiesChanged, &m_context,
                     [this](uint32_t capabilities) { seatChanged(capabilities); });
    seatChanged(connection.seatCapabilities());
    QObject::connect(&connection, &WaylandConnection::eventsDispatched, &m_context,
                     [this] { m_wakeup.wakeLater(); });
    QObject::connect(&connection, &WaylandConnection::lost, &m_context,
                     [this] { m_wakeup.wakeLater(); });
    connection.flush();
}

LayerShellPointerLocator::~LayerShellPointerLocator()
{
    m_overlay.reset();
    if (m_pointer)
        wl_pointer_destroy(m_pointer);
    for (const Output& output : m_outputs)
        wl_output_destroy(output.output);
    if (m_layerShell)
        zwlr_layer_shell_v1_destroy(m_layerShell);
    if (m_shm)
        wl_shm_destroy(m_shm);
    if (m_compositor)
        wl_compositor_destroy(m_compositor);
    m_connection.flush();
}

void LayerShellPointerLocator::seatChanged(uint32_t capabilities)
{
    const bool hasPointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    if (hasPointer == (m_pointer != nullptr))
        return;
    if (!hasPointer) {
        wl_pointer_destroy(m_pointer);
        m_pointer = nullptr;
        return;
    }
    static const wl_pointer_listener listener = {
        .enter =
            [](void* data, wl_pointer*, uint32_t, wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
                static_cast<LayerShellPointerLocator*>(data)->pointerEntered(
                    surface, QPointF(wl_fixed_to_double(x), wl_fixed_to_double(y)));
            },
        .leave = &ignore<wl_pointer*, uint32_t, wl_surface*>,
        .motion = &ignore<wl_pointer*, uint32_t, wl_fixed_t, wl_fixed_t>,
        .button = &ignore<wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t>,
        .axis = &ignore<wl_pointer*, uint32_t, uint32_t, wl_fixed_t>,
        .frame = &ignore<wl_pointer*>,
        .axis_source = &ignore<wl_pointer*, uint32_t>,
        .axis_stop = &ignore<wl_pointer*, uint32_t, uint32_t>,
        .axis_discrete = &ignore<wl_pointer*, uint32_t, int32_t>,
        .axis_value120 = &ignore<wl_pointer*, uint32_t, int32_t>,
    };
    m_pointer = wl_seat_get_pointer(m_connection.seat());
    wl_pointer_add_listener(m_pointer, &listener, this);
}

void LayerShellPointerLocator::pointerEntered(const void* surface, QPointF local)
{
    if (m_overlay && surface == m_overlay->surface)
        m_overlay->entered = local;
}

bool LayerShellPointerLocator::startOverlay()
{
    if (!m_layerShell || !m_compositor || !m_shm || !m_pointer || !m_connection.isAlive())
        return false;
    static const wl_surface_listener surfaceListener = {
        .enter = [](void* data, wl_surface*,
                    wl_output* output) { static_cast<Overlay*>(data)->output = output; },
        .leave = &ignore<wl_surface*, wl_output*>,
    };
    static const zwlr_layer_surface_v1_listener layerListener = {
        .configure =
            [](void* data, zwlr_layer_surface_v1*, uint32_t serial, uint32_t width,
               uint32_t height) { static_cast<Overlay*>(data)->configure(serial, width, height); },
        .closed = [](void* data,
                     zwlr_layer_surface_v1*) { static_cast<Overlay*>(data)->closed = true; },
    };
    m_overlay.reset(new Overlay{.locator = *this});
    m_overlay->surface = wl_compositor_create_surface(m_compositor);
    wl_surface_add_listener(m_overlay->surface, &surfaceListener, m_overlay.get());
    // On the output the compositor chooses; over every panel; never the keyboard's.
    m_overlay->layer = zwlr_layer_shell_v1_get_layer_surface(
        m_layerShell, m_overlay->surface, nullptr, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
        "quillmark-pointer");
    zwlr_layer_surface_v1_add_listener(m_overlay->layer, &layerListener, m_overlay.get());
    zwlr_layer_surface_v1_set_anchor(m_overlay->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                           ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                           ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                           ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_exclusive_zone(m_overlay->layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        m_overlay->layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    wl_surface_commit(m_overlay->surface);
    m_connection.flush();
    return true;
}

// The pointer's place on the layout, once the compositor said where on which output it is.
std::optional<QPoint> LayerShellPointerLocator::answer() const
{
    if (!m_overlay || !m_overlay->entered)
        return std::nullopt;
    const QPoint local(int(std::floor(m_overlay->entered->x())),
                       int(std::floor(m_overlay->entered->y())));
    if (m_outputs.size() <= 1)
        return local + (m_outputs.isEmpty() ? QPoint() : m_outputs.first().position);
    for (const Output& output : m_outputs)
        if (output.output == m_overlay->output)
            return local + output.position;
    return std::nullopt;
}

QCoro::Task<std::optional<QPoint>> LayerShellPointerLocator::locate(std::chrono::milliseconds bound)
{
    if (!m_overlay && !startOverlay())
        co_return std::nullopt;
    bool timedOut = false;
    const std::unique_ptr<ClockTimer> timer = m_clock.startTimer(bound, [&] {
        timedOut = true;
        m_wakeup.wakeLater();
    });
    ++m_askers;
    std::optional<QPoint> position = answer();
    while (!position && !timedOut && !m_overlay->closed && m_connection.isAlive()) {
        co_await m_wakeup.next();
        position = answer();
    }
    // The last one asking takes the surface away, before it can catch a click.
    if (--m_askers == 0) {
        m_overlay.reset();
        m_connection.flush();
    }
    if (!position)
        Log::app().info(
            QStringLiteral("pointer: the compositor did not report the pointer within %1 ms")
                .arg(bound.count()));
    co_return position;
}
