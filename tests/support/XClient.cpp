// SPDX-License-Identifier: MIT
#include "support/XClient.h"

#include "support/DesktopTools.h"

#include <QProcess>
#include <QRegularExpression>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
// The XKB protocol header names a struct member "explicit", which C++ reserves.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

namespace {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <class T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

} // namespace

OtherXClient::OtherXClient()
    : m_connection(m_x.get())
    , m_root(m_x.root())
{}

int OtherXClient::grabKey(uint8_t keycode, uint16_t modifiers)
{
    XcbReply<xcb_generic_error_t> error(xcb_request_check(
        m_connection, xcb_grab_key_checked(m_connection, 0, m_root, modifiers, keycode,
                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));
    return error ? error->error_code : 0;
}

void OtherXClient::ungrabKey(uint8_t keycode, uint16_t modifiers)
{
    xcb_ungrab_key(m_connection, keycode, m_root, modifiers);
    sync();
}

int OtherXClient::grabKeyboard()
{
    XcbReply<xcb_grab_keyboard_reply_t> reply(
        xcb_grab_keyboard_reply(m_connection,
                                xcb_grab_keyboard(m_connection, 0, m_root, XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr));
    return reply ? reply->status : -1;
}

void OtherXClient::ungrabKeyboard()
{
    xcb_ungrab_keyboard(m_connection, XCB_CURRENT_TIME);
    sync();
}

uint16_t OtherXClient::modifierState()
{
    XcbReply<xcb_query_pointer_reply_t> reply(
        xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, m_root), nullptr));
    return reply ? uint16_t(reply->mask & 0xff) : 0;
}

X11ModifierMasks OtherXClient::masks()
{
    return X11ModifierMasks::query(m_connection);
}

void OtherXClient::unlockAllModifiers()
{
    std::free(xcb_xkb_use_extension_reply(m_connection, xcb_xkb_use_extension(m_connection, 1, 0),
                                          nullptr));
    xcb_xkb_latch_lock_state(m_connection, XCB_XKB_ID_USE_CORE_KBD, 0xff, 0, 0, 0, 0, 0, 0);
    sync();
}

void OtherXClient::lockGroup(uint8_t group)
{
    std::free(xcb_xkb_use_extension_reply(m_connection, xcb_xkb_use_extension(m_connection, 1, 0),
                                          nullptr));
    xcb_xkb_latch_lock_state(m_connection, XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1, group, 0, 0, 0);
    sync();
}

void OtherXClient::sync()
{
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

ScopedKeyboardState::ScopedKeyboardState()
{
    QProcess query;
    query.start(QStringLiteral("setxkbmap"), {QStringLiteral("-query")});
    if (!query.waitForFinished())
        return;
    const QString answer = QString::fromUtf8(query.readAllStandardOutput());
    for (const char* field : {"layout", "variant"}) {
        const QRegularExpression line(QStringLiteral("^%1:\\s*(\\S+)$").arg(field),
                                      QRegularExpression::MultilineOption);
        m_layout << QStringLiteral("-%1").arg(field) << line.match(answer).captured(1);
    }
}

ScopedKeyboardState::~ScopedKeyboardState()
{
    // Locks are kept as modifier bits, not as keys, so they are cleared as bits: pressing
    // Num Lock again would not clear a bit it locked before its modifier moved.
    OtherXClient client;
    if (client.isConnected()) {
        client.unlockAllModifiers();
        client.lockGroup(0);
    }
    if (!m_layout.isEmpty())
        setxkbmap(m_layout);
}

bool ScopedKeyboardState::setxkbmap(const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral("setxkbmap"), arguments) == 0;
}

KeyboardGrab::KeyboardGrab()
    : m_held(m_client.isConnected() && m_client.grabKeyboard() == 0)
{}

KeyboardGrab::~KeyboardGrab()
{
    release();
}

void KeyboardGrab::release()
{
    if (m_held)
        m_client.ungrabKeyboard();
    m_held = false;
}
