// SPDX-License-Identifier: MIT
#include "platform/x11/RawKeyTracker.h"

void RawKeyTracker::reset(const std::bitset<256>& keysDown, bool capsLockOn)
{
    m_down = keysDown;
    m_capsLockOn = capsLockOn;
}

std::optional<RawKeyTracker::Event> RawKeyTracker::press(uint8_t keycode)
{
    if (m_down.test(keycode))
        return std::nullopt;
    m_down.set(keycode);
    const ModifierKeyTable::Role role = m_table.role(keycode);
    if (role == ModifierKeyTable::Role::none)
        return Event{Event::Kind::keyDown, 0};
    if (role == ModifierKeyTable::Role::capsLock)
        m_capsLockOn = !m_capsLockOn;
    return Event{Event::Kind::flagsChanged, flags()};
}

std::optional<RawKeyTracker::Event> RawKeyTracker::release(uint8_t keycode)
{
    if (!m_down.test(keycode))
        return std::nullopt;
    m_down.reset(keycode);
    const ModifierKeyTable::Role role = m_table.role(keycode);
    // Releasing Caps Lock leaves the lock as the press set it.
    if (role == ModifierKeyTable::Role::none || role == ModifierKeyTable::Role::capsLock)
        return std::nullopt;
    return Event{Event::Kind::flagsChanged, flags()};
}

uint64_t RawKeyTracker::flags() const
{
    uint64_t flags = m_capsLockOn ? KeyEventSource::capsLockFlag : 0;
    for (size_t keycode = 0; keycode < m_down.size(); ++keycode) {
        if (m_down.test(keycode))
            flags |= ModifierKeyTable::heldFlag(m_table.role(uint8_t(keycode)));
    }
    return flags;
}
