// SPDX-License-Identifier: MIT
#pragma once

#include "app/AppComponents.h"
#include "app/ProcessLog.h"
#include "core/SystemClock.h"
#include "platform/DesktopSession.h"
#include "platform/x11/OwnKeyboardGrab.h"
#include "platform/x11/X11Connection.h"
#include "settings/Preferences.h"
#include "ui/settings/DesktopShortcutOffer.h"
#include "updates/UpdateConfig.h"

#include <memory>

class AtspiFocusedTextReader;
class DBusAccessibilityBus;
class FrontmostWindows;
class GnomeCustomKeybinding;
class KeyboardLayout;
class KeystrokeSender;
class PasteBack;
class Pasteboard;
class PointerLocator;
class SecretStore;
class ShortcutHold;
class WaylandConnection;
class WaylandKeymap;
class X11AccessibilityPermission;

// The one place where the tray application's adapters are chosen. Made first, it installs the
// log (see ProcessLog) and makes the system clock, the preferences and the update
// configuration over the user's defaults, the desktop keyring and the keyboard layout;
// takeComponents() then chooses the desktop's adapters: X11 ones when there is an X display
// (XWayland too), kglobalaccel for the shortcut in a KDE Wayland session, null ones for
// whatever is missing; the choice is logged once. It owns everything the app delegate and its
// services are built on, so it must outlive the delegate. Needs a QApplication.
class DesktopWiring {
public:
    explicit DesktopWiring(DesktopSession session);
    ~DesktopWiring();
    DesktopWiring(const DesktopWiring&) = delete;
    DesktopWiring& operator=(const DesktopWiring&) = delete;

    // The delegate's components; call once.
    AppComponents takeComponents();

    Clock& clock() { return m_clock; }
    Preferences& preferences() { return m_preferences; }
    SecretStore& secretStore() const { return *m_secrets; }
    KeyboardLayout& keyboardLayout() const { return *m_layout; }

private:
    void wireX11(AppComponents& components);
    void wireWayland(AppComponents& components);
    void wireKde(AppComponents& components);
    // How the settings window and the guide present the shortcut on this desktop.
    DesktopShortcut desktopShortcut(PasteBack& clipboard);
    void logChoices() const;

    // Declared first, so that they outlive every adapter built on them.
    ProcessLog m_log{ProcessLog::Role::trayApplication};
    SystemClock m_clock;
    Preferences m_preferences{UserDefaults::standard()};
    UpdateConfig m_updateConfig{m_preferences.defaults()};
    // Opens every X connection the X11 adapters use.
    X11Display m_display;
    // The one connection the X11 adapters and the keyboard layout share (besides Qt's), opened
    // on first use.
    X11Connection m_x11{m_display};
    std::unique_ptr<SecretStore> m_secrets;
    std::unique_ptr<KeyboardLayout> m_layout;
    const DesktopSession m_session;
    // The main shortcut's grabber records here that its key holds the keyboard; the
    // keystroke sender and the secure input probe read it.
    OwnKeyboardGrab m_ownGrab;
    // Quillmark's own connection to the Wayland compositor, and the user's keymap from it;
    // declared before the adapters on them, which go first.
    std::unique_ptr<WaylandConnection> m_wayland;
    std::unique_ptr<WaylandKeymap> m_waylandKeymap;
    std::unique_ptr<PointerLocator> m_pointer;
    // KDE announces when the keys of Quillmark's shortcut go up; the key sender waits for it.
    std::unique_ptr<ShortcutHold> m_shortcutHold;
    // Through XWayland, when the Wayland list below asks it about X11 windows.
    std::unique_ptr<FrontmostWindows> m_x11Windows;
    std::unique_ptr<FrontmostWindows> m_windows;
    // Reads the selection and writes results back into it.
    std::unique_ptr<AtspiFocusedTextReader> m_focusedText;
    std::unique_ptr<KeystrokeSender> m_keys;
    std::unique_ptr<Pasteboard> m_pasteboard;
    std::unique_ptr<DBusAccessibilityBus> m_accessibilityBus;
    // Quillmark's entry among GNOME's custom shortcuts, where GNOME keeps them.
    std::unique_ptr<GnomeCustomKeybinding> m_gnomeKeybinding;
    // What the Wayland adapters chosen are called in the start line; empty otherwise.
    QString m_keysName;
    QString m_clipboardName;
    // Owned by the delegate's components; kept here for the guide's relaunch button.
    X11AccessibilityPermission* m_x11Permission = nullptr;
};
