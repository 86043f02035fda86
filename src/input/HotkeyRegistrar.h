// SPDX-License-Identifier: MIT
#pragma once

#include "core/HotkeyShortcut.h"

#include <functional>
#include <optional>

// The global shortcut and the panel's session keys (Escape and ⌥1 to ⌥4), taken from the
// desktop so that they reach Quillmark whichever application is in front. Main thread
// only; key presses are delivered as callbacks on the main thread, onAnyHotkey first.
class HotkeyRegistrar {
public:
    HotkeyRegistrar() = default;
    HotkeyRegistrar(const HotkeyRegistrar&) = delete;
    HotkeyRegistrar& operator=(const HotkeyRegistrar&) = delete;
    virtual ~HotkeyRegistrar() = default;

    // Makes the shortcut the main shortcut; false when the desktop refused it (another
    // client holds it) or global shortcuts are unsupported, and then the previous one
    // stays in force.
    [[nodiscard]] virtual bool registerShortcut(const HotkeyShortcut& shortcut) = 0;
    // Takes the session keys while the panel is open; keys the desktop refuses are
    // skipped (and logged) and simply do not arrive.
    virtual void registerSessionKeys() = 0;
    // Releases the session keys; nothing when none are held.
    virtual void unregisterSessionKeys() = 0;
    // Releases the main shortcut for the shortcut recorder but keeps current(); nothing
    // when none is held.
    virtual void suspend() = 0;
    // The shortcut last registered successfully; absent before the first success.
    virtual std::optional<HotkeyShortcut> current() const = 0;
    // Whether the main shortcut is held right now (false while suspended).
    virtual bool hasRegisteredHotkey() const = 0;

    std::function<void()> onHotkey;
    std::function<void()> onEscape;
    // 1 for ⌥1 up to 4 for ⌥4.
    std::function<void(int)> onActionKey;
    // Any key this registrar holds was pressed; called before the specific callback.
    std::function<void()> onAnyHotkey;
};
