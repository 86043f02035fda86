// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SecureInput.h"
#include "platform/x11/OwnKeyboardGrab.h"
#include "platform/x11/X11Connection.h"

// X has no secure input mode, but what a password prompt or a screen locker does to keep
// keystrokes to itself is to grab the keyboard, and while another client holds it no key
// Quillmark sends reaches anyone else. So the probe tries to grab the keyboard itself: an
// answer of AlreadyGrabbed (or Frozen) means someone holds it, and a grab that succeeds is
// given back at once. While one of Quillmark's own keys holds the keyboard (the grab record
// says so), nobody else can, and nothing is asked.
//
// The probe asks on the connection the shortcut's grabber holds its keys on, and a client's
// own grab of the keyboard answers Success and is ended by its ungrab. So the events that came
// before the answer are handed out first: a press of the shortcut among them made the keyboard
// the grabber's, and it is left alone. A press while the probe held the keyboard is given its
// grab back through the grab record. The grab record and the connection are borrowed and must
// outlive the probe. Main thread only.
class XcbSecureInput final : public SecureInput {
public:
    XcbSecureInput(OwnKeyboardGrab& ownGrab, X11Connection& x11)
        : m_ownGrab(ownGrab)
        , m_x11(x11)
    {}

    bool isActive() const override;

private:
    OwnKeyboardGrab& m_ownGrab;
    X11Connection& m_x11;
};
