// SPDX-License-Identifier: MIT
#pragma once

#include "platform/OutsideClickWatcher.h"

#include <QPointer>
#include <QSocketNotifier>
#include <cstdint>

struct xcb_connection_t;

// Listens for raw XInput2 button presses on the root window. Raw events reach every
// client that selects them whatever window the press goes to, and selecting them grabs
// nothing, so the other application still gets its click. The listener runs on a private
// X connection (watched by a socket notifier), opened on start and closed on stop, so
// Qt's own connection is never touched. Main thread only.
class XInputOutsideClickWatcher final : public OutsideClickWatcher {
public:
    XInputOutsideClickWatcher() = default;
    ~XInputOutsideClickWatcher() override;

    bool start(std::function<void()> onButtonPress) override;
    void stop() override;
    bool isWatching() const override { return m_connection != nullptr; }

private:
    // Opens the connection and selects the raw presses; false (and nothing held) when the
    // display or XInput 2.2 is missing.
    [[nodiscard]] bool connect();
    void readEvents();

    std::function<void()> m_onButtonPress;
    xcb_connection_t* m_connection = nullptr;
    uint8_t m_xinputOpcode = 0;
    QPointer<QSocketNotifier> m_notifier;
    bool m_reading = false;
};
