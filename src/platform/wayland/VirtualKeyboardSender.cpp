// SPDX-License-Identifier: MIT
#include "platform/wayland/VirtualKeyboardSender.h"

#include "core/Log.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandKeymap.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <virtual-keyboard-unstable-v1-client-protocol.h>
#include <wayland-client.h>

VirtualKeyboardSender::VirtualKeyboardSender(WaylandConnection& connection,
                                             const WaylandKeymap& keymap)
    : m_connection(connection)
    , m_keymap(keymap)
{
    m_manager = static_cast<zwp_virtual_keyboard_manager_v1*>(
        m_connection.bind(&zwp_virtual_keyboard_manager_v1_interface, 1));
    if (m_manager && m_connection.seat())
        m_keyboard =
            zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(m_manager, m_connection.seat());
    uploadKeymap();
    QObject::connect(&m_keymap, &WaylandKeymap::changed, &m_keymap, [this] { uploadKeymap(); });
}

VirtualKeyboardSender::~VirtualKeyboardSender()
{
    QObject::disconnect(&m_keymap, &WaylandKeymap::changed, nullptr, nullptr);
    if (m_keyboard)
        zwp_virtual_keyboard_v1_destroy(m_keyboard);
    if (m_manager)
        zwp_virtual_keyboard_manager_v1_destroy(m_manager);
    m_connection.flush();
}

bool VirtualKeyboardSender::isOffered(const WaylandConnection& connection)
{
    return connection.seat() && connection.offers(zwp_virtual_keyboard_manager_v1_interface.name);
}

QCoro::Task<> VirtualKeyboardSender::keysChanged(std::chrono::milliseconds /*timeout*/)
{
    co_return;
}

void VirtualKeyboardSender::uploadKeymap()
{
    const QByteArray& text = m_keymap.text();
    if (!m_keyboard || text.isEmpty() || text == m_uploaded)
        return;
    // The compositor maps the keymap from a file: a sealed memory file with the text and
    // its terminating zero, closed here once the request has gone out.
    const int fd = ::memfd_create("quillmark-keymap", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    const auto size = size_t(text.size()) + 1;
    if (fd < 0 || ::write(fd, text.constData(), size) != ssize_t(size)) {
        Log::capture().error(QStringLiteral("Wayland: the keymap could not be handed over"));
        if (fd >= 0)
            ::close(fd);
        return;
    }
    ::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE);
    zwp_virtual_keyboard_v1_keymap(m_keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                   uint32_t(size));
    m_connection.flush();
    ::close(fd);
    m_uploaded = text;
}

bool VirtualKeyboardSender::post(EditCommand command, ChordStyle style)
{
    const auto chord = m_keymap.chord(command, style);
    if (!chord || !m_keyboard || m_uploaded.isEmpty() || !m_connection.isAlive()) {
        Log::capture().error(
            QStringLiteral("Wayland: no keys typed: %1")
                .arg(!m_keyboard            ? QStringLiteral("no virtual keyboard")
                     : !chord               ? QStringLiteral("the keyboard layout has not arrived")
                     : m_uploaded.isEmpty() ? QStringLiteral("the keymap could not be handed over")
                                            : QStringLiteral("the compositor is gone")));
        return false;
    }
    // The monotonic clock's milliseconds, one apart at least, so every key has a time of
    // its own and the times never go back.
    using namespace std::chrono;
    const auto now = duration_cast<milliseconds>(steady_clock::now().time_since_epoch());
    m_time = std::max(m_time, uint32_t(now.count()));
    const uint32_t group = m_keymap.group();
    const auto key = [this, group](uint32_t evdev, uint32_t state, uint32_t modifiers) {
        zwp_virtual_keyboard_v1_key(m_keyboard, ++m_time, evdev, state);
        zwp_virtual_keyboard_v1_modifiers(m_keyboard, modifiers, 0, 0, group);
    };
    for (const WaylandKeymap::Key& down : *chord)
        key(down.evdev, WL_KEYBOARD_KEY_STATE_PRESSED, down.modifiersDown);
    for (auto up = chord->rbegin(); up != chord->rend(); ++up) {
        const auto before = std::next(up);
        key(up->evdev, WL_KEYBOARD_KEY_STATE_RELEASED,
            before == chord->rend() ? 0 : before->modifiersDown);
    }
    m_connection.flush();
    return true;
}
