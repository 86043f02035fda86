// SPDX-License-Identifier: MIT
#include "platform/wayland/WaylandKeymap.h"

#include "core/Log.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/x11/LayoutKeys.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

namespace {

// xkbcommon numbers keys as X11 does, eight above the kernel's evdev codes.
constexpr uint32_t evdevOffset = 8;
// The evdev positions of C, V, left Control and left Shift, for a keymap that has no key
// for the keysym at all.
constexpr uint32_t cPosition = 46;
constexpr uint32_t vPosition = 47;
constexpr uint32_t controlPosition = 29;
constexpr uint32_t shiftPosition = 42;

// The kernel code of the key that types the keysym, else the fallback position.
uint32_t evdevFor(xkb_keymap* keymap, uint32_t group, xkb_keysym_t keysym, uint32_t fallback)
{
    const auto keycode = LayoutKeys::keycodeFor(keymap, group, keysym);
    return keycode && *keycode >= evdevOffset ? *keycode - evdevOffset : fallback;
}

uint32_t maskOf(xkb_keymap* keymap, const char* name)
{
    const xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap, name);
    return index == XKB_MOD_INVALID ? 0 : 1u << index;
}

} // namespace

struct KeymapListeners {
    static void keymap(void* data, wl_keyboard* /*keyboard*/, uint32_t format, int32_t fd,
                       uint32_t size)
    {
        auto* self = static_cast<WaylandKeymap*>(data);
        QByteArray text;
        if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
            void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (mapped != MAP_FAILED) {
                const auto* bytes = static_cast<const char*>(mapped);
                text = QByteArray(bytes, qsizetype(qstrnlen(bytes, size)));
                ::munmap(mapped, size);
            }
        }
        ::close(fd);
        if (text.isEmpty())
            Log::capture().error(QStringLiteral("Wayland: the compositor sent no readable keymap"));
        else if (text != self->m_text && self->load(text))
            emit self->changed();
    }
    static void enter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
    static void leave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
    static void key(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {}
    static void modifiers(void* data, wl_keyboard* /*keyboard*/, uint32_t /*serial*/,
                          uint32_t /*depressed*/, uint32_t /*latched*/, uint32_t /*locked*/,
                          uint32_t group)
    {
        static_cast<WaylandKeymap*>(data)->m_group = group;
    }
    static void repeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}

    static constexpr wl_keyboard_listener keyboard = {.keymap = &keymap,
                                                      .enter = &enter,
                                                      .leave = &leave,
                                                      .key = &key,
                                                      .modifiers = &modifiers,
                                                      .repeat_info = &repeatInfo};
};

WaylandKeymap::WaylandKeymap(WaylandConnection& connection)
    : m_connection(connection)
    , m_context(xkb_context_new(XKB_CONTEXT_NO_FLAGS))
{
    QObject::connect(&connection, &WaylandConnection::seatCapabilitiesChanged, this,
                     &WaylandKeymap::onCapabilities);
    onCapabilities(connection.seatCapabilities());
}

WaylandKeymap::~WaylandKeymap()
{
    if (m_keyboard)
        wl_keyboard_release(m_keyboard);
    m_connection.flush();
    xkb_keymap_unref(m_keymap);
    xkb_context_unref(m_context);
}

void WaylandKeymap::onCapabilities(uint32_t capabilities)
{
    // Asking for a keyboard the seat never had is a protocol error, so only once it has one;
    // the keyboard object is kept when the device goes, the keymap with it.
    if (m_keyboard || !(capabilities & WL_SEAT_CAPABILITY_KEYBOARD))
        return;
    m_keyboard = wl_seat_get_keyboard(m_connection.seat());
    wl_keyboard_add_listener(m_keyboard, &KeymapListeners::keyboard, this);
    m_connection.flush();
}

bool WaylandKeymap::load(QByteArray text)
{
    xkb_keymap* keymap =
        m_context
            ? xkb_keymap_new_from_buffer(m_context, text.constData(), size_t(text.size()),
                                         XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS)
            : nullptr;
    if (!keymap) {
        Log::capture().error(QStringLiteral("Wayland: the compositor's keymap does not compile"));
        return false;
    }
    xkb_keymap_unref(m_keymap);
    m_keymap = keymap;
    m_text = std::move(text);
    return true;
}

std::optional<std::vector<WaylandKeymap::Key>> WaylandKeymap::chord(EditCommand command,
                                                                    ChordStyle style) const
{
    if (!m_keymap)
        return std::nullopt;
    const bool copy = command == EditCommand::copy;
    const uint32_t control = maskOf(m_keymap, XKB_MOD_NAME_CTRL);
    const uint32_t shift = maskOf(m_keymap, XKB_MOD_NAME_SHIFT);
    std::vector<Key> keys{
        {evdevFor(m_keymap, m_group, XKB_KEY_Control_L, controlPosition), control}};
    if (style == ChordStyle::terminal)
        keys.push_back(
            {evdevFor(m_keymap, m_group, XKB_KEY_Shift_L, shiftPosition), control | shift});
    keys.push_back(
        {evdevFor(m_keymap, m_group, copy ? XKB_KEY_c : XKB_KEY_v, copy ? cPosition : vPosition),
         keys.back().modifiersDown});
    return keys;
}
