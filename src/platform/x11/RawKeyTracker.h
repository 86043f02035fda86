// SPDX-License-Identifier: MIT
#pragma once

#include "platform/KeyEventSource.h"
#include "platform/x11/ModifierKeyTable.h"

#include <bitset>
#include <cstdint>
#include <optional>

// Turns raw key presses and releases, which say only which keycode went down or up, into
// the events of the key-event source: the modifier flags after each change of a modifier
// key, and the presses of every other key.
//
// Raw events come before the server's own bookkeeping, so the state is kept here, per
// keycode: a press of a key already down is key repeat (or a second press sent by XTest) and
// no new press, and a release of a key that is not down (a stray XTest release) changes
// nothing. Caps Lock's flag follows the lock, which each real press of the key toggles.
class RawKeyTracker {
public:
    using Event = KeyEventSource::Event;

    // The keymap in force from now on; the keys held stay held.
    void setKeymap(const ModifierKeyTable& table) { m_table = table; }
    // The keys found down and the lock's state when listening starts, so that their later
    // releases are not taken for stray ones.
    void reset(const std::bitset<256>& keysDown, bool capsLockOn);

    std::optional<Event> press(uint8_t keycode);
    std::optional<Event> release(uint8_t keycode);

    // The modifier flags in effect now.
    uint64_t flags() const;

private:
    ModifierKeyTable m_table;
    std::bitset<256> m_down;
    bool m_capsLockOn = false;
};
