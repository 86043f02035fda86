// SPDX-License-Identifier: MIT
#pragma once

#include "platform/KeyEventSource.h"
#include "platform/x11/RawKeyTracker.h"

#include <QPointer>
#include <QSocketNotifier>
#include <cstdint>

struct xcb_connection_t;

// Key events of the whole X desktop from raw XInput 2 key presses and releases on the root
// window, for every master keyboard. Raw events reach every client that selects them, even
// while another client holds a grab (a global shortcut, a window switcher), and selecting
// them grabs nothing, so every application still gets its keys; this application's own keys
// are seen too. Which keys are modifiers comes from the server's keymap, read again when it
// changes. The listener runs on a private X connection (watched by a socket notifier),
// opened on start and closed on stop, so Qt's own connection is never touched. Main thread
// only.
class XInputKeyEventSource final : public KeyEventSource {
public:
    XInputKeyEventSource() = default;
    ~XInputKeyEventSource() override;

    bool start(Handler handler) override;
    void stop() override;

private:
    // Opens the connection, reads the keymap and the keys held now and selects the raw
    // events; false (and nothing held) when the display or XInput 2.2 is missing.
    [[nodiscard]] bool connect();
    void readKeymap();
    void readKeysDown();
    void readEvents();
    void deliver(const std::optional<Event>& event);

    Handler m_handler;
    xcb_connection_t* m_connection = nullptr;
    uint8_t m_xinputOpcode = 0;
    QPointer<QSocketNotifier> m_notifier;
    bool m_reading = false;
    RawKeyTracker m_keys;
};
