// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

struct xcb_connection_t;

// Every connection to the X server named by DISPLAY is opened through this: the one the X11
// adapters share (X11Connection), and those that must stay apart from it, so that none of
// them competes with Qt's connection. The desktop wiring makes one; it holds no connection
// itself and may be copied.
class X11Display {
public:
    struct Connection {
        xcb_connection_t* connection = nullptr;
        uint32_t root = 0; // root window of the default screen
    };

    // A new connection, or a null one when the server cannot be reached (then nothing is
    // left open). With `requireDisplay`, an empty DISPLAY counts as no server without asking.
    Connection open(bool requireDisplay = false) const;
    // Closes a connection open() gave; nullptr is fine.
    static void close(xcb_connection_t* connection);
};
