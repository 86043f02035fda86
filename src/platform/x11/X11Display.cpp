// SPDX-License-Identifier: MIT
#include "platform/x11/X11Display.h"

#include <QtGlobal>

#include <xcb/xcb.h>

X11Display::Connection X11Display::open(bool requireDisplay) const
{
    if (requireDisplay && qEnvironmentVariableIsEmpty("DISPLAY"))
        return {};
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return {};
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem) {
        xcb_disconnect(connection);
        return {};
    }
    return {connection, screens.data->root};
}

void X11Display::close(xcb_connection_t* connection)
{
    if (connection)
        xcb_disconnect(connection);
}
