// SPDX-License-Identifier: MIT
#include "platform/x11/XInputOutsideClickWatcher.h"

#include "core/Log.h"

#include <xcb/xcb.h>
#include <xcb/xinput.h>

namespace {

// The buttons that count as a click: the physical left and right buttons. The middle
// button and the wheel (buttons 4 to 7) do not close the panel.
constexpr uint32_t leftButton = 1;
constexpr uint32_t rightButton = 3;

} // namespace

XInputOutsideClickWatcher::XInputOutsideClickWatcher(X11Connection& x11)
    : m_events(x11, Log::app(), QStringLiteral("click-outside watcher"),
               QStringLiteral("raw presses"), XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS)
{}

XInputOutsideClickWatcher::~XInputOutsideClickWatcher()
{
    stop();
}

bool XInputOutsideClickWatcher::start(std::function<void()> onButtonPress)
{
    m_onButtonPress = std::move(onButtonPress);
    if (m_events.isRunning())
        return true;
    if (m_events.start([this](const xcb_generic_event_t& event) { handle(event); }))
        return true;
    m_onButtonPress = nullptr;
    return false;
}

void XInputOutsideClickWatcher::stop()
{
    m_onButtonPress = nullptr;
    m_events.stop();
}

void XInputOutsideClickWatcher::handle(const xcb_generic_event_t& event)
{
    if ((event.response_type & 0x7f) != XCB_GE_GENERIC)
        return;
    const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(&event);
    if (generic->extension != m_events.opcode() ||
        generic->event_type != XCB_INPUT_RAW_BUTTON_PRESS)
        return;
    const auto* press = reinterpret_cast<const xcb_input_raw_button_press_event_t*>(&event);
    if (press->detail != leftButton && press->detail != rightButton)
        return;
    // The callback may stop this watcher; the raw events notice that.
    auto callback = m_onButtonPress;
    if (callback)
        callback();
}
