// SPDX-License-Identifier: MIT
#pragma once

#include "platform/KeyboardLayout.h"
#include "platform/x11/X11Connection.h"

#include <memory>

// Names keys after what they type in the keyboard layout the user has active right now.
//
// With an X display the keymap and the active group come from the X server's keyboard, so
// switching between, say, English and Russian renames the keys at once. Without a display
// (a command run over ssh, the unit tests) the keymap is built from the default XKB rule
// names, which honour XKB_DEFAULT_LAYOUT and its siblings, and the first group is used.
// The display is opened on the first question, not at construction, so commands that never
// show a shortcut never touch X.
class XkbKeyboardLayout final : public KeyboardLayout {
public:
    // On a connection of its own (a command run from the shell).
    XkbKeyboardLayout();
    // On the connection the other X11 adapters share; it must outlive the layout.
    explicit XkbKeyboardLayout(X11Connection& x11);
    ~XkbKeyboardLayout() override;

    std::optional<QString> unmodifiedText(uint32_t virtualKeyCode) override;

private:
    class Keymaps;
    std::unique_ptr<Keymaps> m_keymaps;
};
