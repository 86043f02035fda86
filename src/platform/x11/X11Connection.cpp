// SPDX-License-Identifier: MIT
#include "platform/x11/X11Connection.h"

#include <cstdlib>
#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>

X11Connection::~X11Connection()
{
    reset();
}

void X11Connection::reset()
{
    if (m_connection)
        X11Display::close(m_connection);
    m_connection = nullptr;
    m_root = 0;
    m_keyboard = -1;
    m_xkbTried = false;
    m_atoms.clear();
}

xcb_connection_t* X11Connection::get()
{
    if (m_connection && !xcb_connection_has_error(m_connection))
        return m_connection;
    reset();
    const X11Display::Connection opened = m_display.open(true);
    m_connection = opened.connection;
    m_root = opened.root;
    return m_connection;
}

uint32_t X11Connection::root()
{
    return get() ? m_root : 0;
}

uint32_t X11Connection::atom(const char* name)
{
    xcb_connection_t* connection = get();
    if (!connection)
        return 0;
    const QByteArray key(name);
    if (const auto found = m_atoms.constFind(key); found != m_atoms.constEnd())
        return *found;
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(key.size()), key.constData()), nullptr);
    const uint32_t atom = reply ? reply->atom : 0;
    std::free(reply);
    if (atom)
        m_atoms.insert(key, atom);
    return atom;
}

int32_t X11Connection::keyboardDevice()
{
    xcb_connection_t* connection = get();
    if (!connection)
        return -1;
    if (!m_xkbTried) {
        m_xkbTried = true;
        const int ready = xkb_x11_setup_xkb_extension(
            connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr);
        if (ready)
            m_keyboard = xkb_x11_get_core_keyboard_device_id(connection);
    }
    return m_keyboard;
}
