// SPDX-License-Identifier: MIT
#include "platform/wayland/FakeInputSender.h"

#include "core/Log.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandKeymap.h"

#include <fake-input-client-protocol.h>
#include <wayland-client.h>

namespace {

// The first version with keyboard keys.
constexpr uint32_t keyboardVersion = 4;

} // namespace

FakeInputSender::FakeInputSender(WaylandConnection& connection, const WaylandKeymap& keymap,
                                 ShortcutHold* hold)
    : m_connection(connection)
    , m_keymap(keymap)
    , m_hold(hold)
{
    if (!isOffered(connection))
        return;
    m_fakeInput = static_cast<org_kde_kwin_fake_input*>(
        m_connection.bind(&org_kde_kwin_fake_input_interface, keyboardVersion));
    if (m_fakeInput) {
        org_kde_kwin_fake_input_authenticate(m_fakeInput, "Quillmark",
                                             "types Ctrl+C and Ctrl+V for you");
        m_connection.flush();
    }
}

FakeInputSender::~FakeInputSender()
{
    // The protocol has no destructor request: this only forgets the object on our side.
    if (m_fakeInput)
        org_kde_kwin_fake_input_destroy(m_fakeInput);
}

bool FakeInputSender::isOffered(const WaylandConnection& connection)
{
    for (const WaylandConnection::Global& global : connection.globals())
        if (global.interface == org_kde_kwin_fake_input_interface.name &&
            global.version >= keyboardVersion)
            return true;
    return false;
}

bool FakeInputSender::shortcutKeyHeld()
{
    return m_hold && m_hold->isHeld();
}

QCoro::Task<> FakeInputSender::keysChanged(std::chrono::milliseconds timeout)
{
    if (m_hold)
        co_await m_hold->changed(timeout);
}

bool FakeInputSender::post(EditCommand command, ChordStyle style)
{
    const auto chord = m_keymap.chord(command, style);
    if (!chord || !m_fakeInput || !m_connection.isAlive()) {
        Log::capture().error(QStringLiteral("Wayland: no keys typed: %1")
                                 .arg(!m_fakeInput ? QStringLiteral("no fake input")
                                      : !chord
                                          ? QStringLiteral("the keyboard layout has not arrived")
                                          : QStringLiteral("the compositor is gone")));
        return false;
    }
    for (const WaylandKeymap::Key& down : *chord)
        org_kde_kwin_fake_input_keyboard_key(m_fakeInput, down.evdev,
                                             WL_KEYBOARD_KEY_STATE_PRESSED);
    for (auto up = chord->rbegin(); up != chord->rend(); ++up)
        org_kde_kwin_fake_input_keyboard_key(m_fakeInput, up->evdev,
                                             WL_KEYBOARD_KEY_STATE_RELEASED);
    m_connection.flush();
    return true;
}
