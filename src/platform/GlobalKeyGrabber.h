// SPDX-License-Identifier: MIT
#pragma once

#include "core/HotkeyShortcut.h"

#include <cstdint>
#include <functional>

// Takes single key combinations away from every other application, so that pressing one
// reaches Quillmark whatever window has the focus, and the application in front never sees
// it. Each grab carries the caller's numeric id, which is what a press reports; the same id
// may be held by two grabs at once (a new main shortcut is taken before the old one is
// given back). Main thread only; onPressed is called on the main thread.
class GlobalKeyGrabber {
public:
    // A held grab; 0 stands for none.
    using Handle = uint64_t;

    struct Grab {
        // 0 when the combination is now held, otherwise the reason it is not (below).
        int status = 0;
        Handle handle = 0;
    };

    static constexpr int ok = 0;
    // The desktop refused the combination because another client holds it (X's BadAccess).
    // Other positive statuses are the desktop's own error codes.
    static constexpr int heldElsewhere = 10;
    // There is no desktop to grab from (no display, or the connection was lost).
    static constexpr int unavailable = -1;
    // The key, or one of the modifiers, has no place on this keyboard.
    static constexpr int noSuchKey = -2;

    GlobalKeyGrabber() = default;
    GlobalKeyGrabber(const GlobalKeyGrabber&) = delete;
    GlobalKeyGrabber& operator=(const GlobalKeyGrabber&) = delete;
    virtual ~GlobalKeyGrabber() = default;

    // Takes the combination under the id. A combination this grabber already holds under
    // any id is refused with heldElsewhere, as the desktop would refuse another client.
    [[nodiscard]] virtual Grab grab(uint32_t id, const HotkeyShortcut& combination) = 0;
    // Gives a held combination back; nothing for a handle that is not held.
    virtual void release(Handle handle) = 0;

    // A held combination was pressed; the argument is the id it was grabbed under. Key
    // repeat while it stays down does not call it again.
    std::function<void(uint32_t id)> onPressed;
};
