// SPDX-License-Identifier: MIT
#include "platform/x11/XcbSecureInput.h"

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <class T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

} // namespace

bool XcbSecureInput::isActive() const
{
    // One of Quillmark's own keys is down, so its grab holds the keyboard, and the keyboard
    // has only one holder: nobody else has it.
    if (m_ownGrab.isActive())
        return false;
    xcb_connection_t* probe = m_x11.get();
    if (!probe)
        return false;
    const xcb_window_t root = m_x11.root();
    XcbReply<xcb_grab_keyboard_reply_t> reply(
        xcb_grab_keyboard_reply(probe,
                                xcb_grab_keyboard(probe, 0, root, XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr));
    if (!reply)
        return false;
    // A press of the shortcut the server handled before the probe's grab is in the queue by
    // now; then the keyboard was the grabber's already and stays so.
    m_x11.handOutEvents();
    if (m_ownGrab.isActive())
        return false;
    switch (reply->status) {
    case XCB_GRAB_STATUS_SUCCESS:
        // Held for two round trips only; a key typed in that moment is the price of asking.
        // The second one makes sure the server has let go before the caller goes on: a
        // keystroke sent right after this probe must reach the application, not the probe.
        xcb_ungrab_keyboard(probe, XCB_CURRENT_TIME);
        std::free(xcb_get_input_focus_reply(probe, xcb_get_input_focus(probe), nullptr));
        m_x11.handOutEvents();
        // The shortcut's key went down while the probe held the keyboard, and the ungrab
        // ended what should have been its grab: the grabber takes the keyboard again.
        if (m_ownGrab.isActive() && m_ownGrab.lend())
            m_ownGrab.reclaim();
        return false;
    case XCB_GRAB_STATUS_ALREADY_GRABBED:
    case XCB_GRAB_STATUS_FROZEN:
        return true;
    default:
        return false;
    }
}
