// SPDX-License-Identifier: MIT
#pragma once

#include "platform/x11/X11Display.h"

#include <QByteArray>
#include <QHash>
#include <cstdint>

struct xcb_connection_t;

// A private connection to the X server (from X11Display), opened on first use and opened again
// after the server dropped it, with the atoms it has looked up. Each adapter keeps its own, so none
// of them competes with Qt's connection for events. Main thread only.
class X11Connection {
public:
    explicit X11Connection(X11Display display = {})
        : m_display(display)
    {}
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    // The live connection; nullptr when there is no display or it cannot be reached.
    xcb_connection_t* get();
    // The root window of the default screen; 0 without a connection.
    uint32_t root();
    // The atom of this name, interned once per connection; 0 without a connection.
    uint32_t atom(const char* name);
    // The core keyboard's XKB device, set up on first use; -1 when XKB is missing.
    int32_t keyboardDevice();

private:
    void reset();

    X11Display m_display;
    xcb_connection_t* m_connection = nullptr;
    uint32_t m_root = 0;
    int32_t m_keyboard = -1;
    bool m_xkbTried = false;
    QHash<QByteArray, uint32_t> m_atoms;
};
