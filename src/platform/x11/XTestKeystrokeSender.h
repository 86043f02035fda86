// SPDX-License-Identifier: MIT
#pragma once

#include "platform/KeystrokeSender.h"
#include "platform/SecureInput.h"
#include "platform/x11/OwnKeyboardGrab.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11NoticeWait.h"

#include <memory>

struct xkb_keymap;

// Types the copy and paste chords with the XTest extension, as if on the keyboard. An X11
// key event cannot say "exactly these modifiers": the receiver combines it with whatever
// keys are down. So every modifier key still down is released first, and the letter is
// looked up by its keysym in the layout and group active at that moment. The modifiers
// released are pressed again once the chord is typed: the user is still holding them, and
// the next key of their shortcut must arrive with them, not as a plain letter. Before the
// first key the secure input probe is asked, so nothing is typed into a password prompt
// that took the keyboard while the caller was waiting. The probe, the grab record, the clock
// and the connection are borrowed and must outlive the sender. Main thread only.
class XTestKeystrokeSender final : public KeystrokeSender {
public:
    XTestKeystrokeSender(const SecureInput& secureInput, OwnKeyboardGrab& ownGrab, Clock& clock,
                         X11Connection& x11);
    ~XTestKeystrokeSender() override;

    bool relevantModifiersHeld() override;
    bool shortcutKeyHeld() override;
    // Woken by XKB's state notices on the connection (modifiers) and by the
    // grabber's word that the shortcut's grab ended.
    QCoro::Task<> keysChanged(std::chrono::milliseconds timeout) override;
    bool lendKeyboard() override { return m_ownGrab.lend(); }
    void reclaimKeyboard() override { m_ownGrab.reclaim(); }
    bool post(EditCommand command, ChordStyle style) override;

private:
    struct KeymapRelease {
        void operator()(xkb_keymap* keymap) const;
    };

    // Selects XKB state and keymap notices once and watches the connection for them.
    void watchState();
    // The keymap in force; null when it cannot be read.
    xkb_keymap* currentKeymap(xcb_connection_t* connection, int32_t device);

    const SecureInput& m_secureInput;
    OwnKeyboardGrab& m_ownGrab;
    X11Connection& m_x11;
    // Read once and dropped when the server announces a new one.
    std::unique_ptr<xkb_keymap, KeymapRelease> m_keymap;
    X11NoticeWait m_stateChanges;
};
