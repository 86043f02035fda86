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

XcbSecureInput::~XcbSecureInput()
{
    disconnect();
}

bool XcbSecureInput::isActive() const
{
    // One of Quillmark's own keys is down, so its grab holds the keyboard, and the keyboard
    // has only one holder: nobody else has it.
    if (m_ownGrab.isActive())
        return false;
    xcb_connection_t* probe = connection();
    if (!probe)
        return false;
    // Nothing is selected here, but every client hears of keymap changes; drop them.
    while (xcb_generic_event_t* event = xcb_poll_for_event(probe))
        std::free(event);

    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(probe)).data->root;
    XcbReply<xcb_grab_keyboard_reply_t> reply(
        xcb_grab_keyboard_reply(probe,
                                xcb_grab_keyboard(probe, 0, root, XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr));
    if (!reply) {
        if (xcb_connection_has_error(probe))
            disconnect();
        return false;
    }
    switch (reply->status) {
    case XCB_GRAB_STATUS_SUCCESS:
        // Held for two round trips only; a key typed in that moment is the price of asking.
        // The second one makes sure the server has let go before the caller goes on: a
        // keystroke sent right after this probe must reach the application, not the probe.
        xcb_ungrab_keyboard(probe, XCB_CURRENT_TIME);
        std::free(xcb_get_input_focus_reply(probe, xcb_get_input_focus(probe), nullptr));
        return false;
    case XCB_GRAB_STATUS_ALREADY_GRABBED:
    case XCB_GRAB_STATUS_FROZEN:
        return true;
    default:
        return false;
    }
}

xcb_connection_t* XcbSecureInput::connection() const
{
    if (m_connection)
        return m_connection;
    m_connection = m_display.open().connection;
    return m_connection;
}

void XcbSecureInput::disconnect() const
{
    if (!m_connection)
        return;
    X11Display::close(m_connection);
    m_connection = nullptr;
}
