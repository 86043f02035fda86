// SPDX-License-Identifier: MIT
#pragma once

#include "platform/KeyEventSource.h"
#include "platform/x11/RawKeyTracker.h"
#include "platform/x11/XInputRawEvents.h"

#include <cstdint>

struct xcb_connection_t;

// Key events of the whole X desktop from raw XInput 2 key presses and releases on the root
// window, for every master keyboard. Raw events reach every client that selects them, even
// while another client holds a grab (a global shortcut, a window switcher), and selecting
// them grabs nothing, so every application still gets its keys; this application's own keys
// are seen too. Which keys are modifiers comes from the server's keymap, read again when it
// changes. The events come from an XInputRawEvents listener of its own. Main thread only.
class XInputKeyEventSource final : public KeyEventSource {
public:
    // The connection is borrowed and must outlive the object.
    explicit XInputKeyEventSource(X11Connection& x11);
    ~XInputKeyEventSource() override;

    bool start(Handler handler) override;
    void stop() override;

private:
    void readKeymap(xcb_connection_t* connection);
    void readKeysDown(xcb_connection_t* connection);
    void handle(const xcb_generic_event_t& event);
    void deliver(const std::optional<Event>& event);

    Handler m_handler;
    XInputRawEvents m_events;
    RawKeyTracker m_keys;
};
