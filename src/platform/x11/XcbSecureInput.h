// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SecureInput.h"
#include "platform/x11/OwnKeyboardGrab.h"
#include "platform/x11/X11Display.h"

struct xcb_connection_t;

// X has no secure input mode, but what a password prompt or a screen locker does to keep
// keystrokes to itself is to grab the keyboard, and while another client holds it no key
// Quillmark sends reaches anyone else. So the probe tries to grab the keyboard itself: an
// answer of AlreadyGrabbed (or Frozen) means someone holds it, and a grab that succeeds is
// given back at once. While one of Quillmark's own keys holds the keyboard (the grab record
// says so), nobody else can, and nothing is asked. The probe's own connection is opened on the
// first question and kept. Main thread only.
class XcbSecureInput final : public SecureInput {
public:
    explicit XcbSecureInput(const OwnKeyboardGrab& ownGrab, X11Display display = {})
        : m_ownGrab(ownGrab)
        , m_display(display)
    {}
    ~XcbSecureInput() override;

    bool isActive() const override;

private:
    // The probe's connection, opened when needed; null without a display.
    xcb_connection_t* connection() const;
    void disconnect() const;

    const OwnKeyboardGrab& m_ownGrab;
    X11Display m_display;
    mutable xcb_connection_t* m_connection = nullptr;
};
