// SPDX-License-Identifier: MIT
#pragma once

#include "platform/OutsideClickWatcher.h"

#include "platform/x11/XInputRawEvents.h"

// Listens for raw XInput2 button presses on the root window. Raw events reach every
// client that selects them whatever window the press goes to, and selecting them grabs
// nothing, so the other application still gets its click. The presses come from an
// XInputRawEvents listener of its own. Main thread only.
class XInputOutsideClickWatcher final : public OutsideClickWatcher {
public:
    // The connection is borrowed and must outlive the object.
    explicit XInputOutsideClickWatcher(X11Connection& x11);
    ~XInputOutsideClickWatcher() override;

    bool start(std::function<void()> onButtonPress) override;
    void stop() override;
    bool isWatching() const override { return m_events.isRunning(); }

private:
    void handle(const xcb_generic_event_t& event);

    std::function<void()> m_onButtonPress;
    XInputRawEvents m_events;
};
