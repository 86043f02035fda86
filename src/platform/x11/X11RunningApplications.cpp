// SPDX-License-Identifier: MIT
#include "platform/x11/X11RunningApplications.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

bool processGone(int64_t pid)
{
    // Signal 0 only asks whether the process exists; EPERM means it does, under another user.
    return pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

bool X11RunningApplications::isTerminated(const TargetApplication& application) const
{
    if (application.windowID == 0)
        return processGone(application.pid);
    xcb_connection_t* connection = m_x11.get();
    if (!connection)
        return processGone(application.pid);
    xcb_generic_error_t* error = nullptr;
    xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, application.windowID), &error);
    const bool windowGone = !reply && error && error->error_code == XCB_WINDOW;
    std::free(reply);
    std::free(error);
    return windowGone || processGone(application.pid);
}
