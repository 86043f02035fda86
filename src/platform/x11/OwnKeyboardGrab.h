// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

// Whether this process holds the keyboard right now because one of its global keys is
// down. Pressing a grabbed key makes its grabber the keyboard's owner until the key is
// released, which a probe for another client's keyboard grab could not tell from a
// password prompt; the grabber says so here, and the probe believes it. The grabber can
// also give the keyboard back while the key is down, so that the window in front answers
// for its focus, and take it again afterwards: whoever needs that asks here. The desktop
// wiring makes one and hands it to the grabber, the keystroke sender and the probe.
// Main thread only.
class OwnKeyboardGrab {
public:
    struct Holder {
        // Gives the keyboard back; true when it was held and now is not.
        std::function<bool()> lend;
        // Takes it again while the key is still down.
        std::function<void()> reclaim;
    };

    OwnKeyboardGrab() = default;
    OwnKeyboardGrab(const OwnKeyboardGrab&) = delete;
    OwnKeyboardGrab& operator=(const OwnKeyboardGrab&) = delete;

    void setActive(bool active);
    bool isActive() const { return m_active; }
    // Told each time the grab begins or ends (the keystroke sender waits for that); an empty
    // function removes it.
    void setListener(std::function<void()> listener) { m_listener = std::move(listener); }

    // The grabber whose key presses make the grab; an empty one removes it.
    void setHolder(Holder holder) { m_holder = std::move(holder); }
    bool lend() { return m_holder.lend && m_holder.lend(); }
    void reclaim()
    {
        if (m_holder.reclaim)
            m_holder.reclaim();
    }

private:
    bool m_active = false;
    std::function<void()> m_listener;
    Holder m_holder;
};
