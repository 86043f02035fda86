// SPDX-License-Identifier: MIT
#pragma once

#include "core/HotkeyShortcut.h"
#include "input/DoubleTapTrigger.h"
#include "platform/AccessibilityPermission.h"
#include "ui/settings/DesktopShortcutOffer.h"
#include "ui/settings/DoubleTapWaitingFlag.h"
#include "ui/settings/SettingsWindow.h"

#include <QObject>
#include <memory>

class Clock;
class Preferences;
class SecretStore;
class SettingsView;
class QWidget;

// Owns the one settings window. It is made on the first show and kept: closing only hides
// it, and the form's state survives until the next show. Main thread only.
class SettingsWindowController final : public QObject, public SettingsWindow {
    Q_OBJECT

public:
    // The watcher, the permission, the layout, the clock, the key store and the preferences
    // are borrowed and must outlive the controller.
    SettingsWindowController(DoubleTapTrigger& doubleTap, AccessibilityPermission& accessibility,
                             KeyCharacters& layout, Clock& clock, SecretStore& secrets,
                             Preferences& preferences, QObject* parent = nullptr);
    ~SettingsWindowController() override;

    // Opens the window, or brings it back, centred on the screen and in front of the
    // application the user is in.
    void show() override;
    void showAIService() override;
    // How this desktop runs the shortcut (Quillmark holds it itself until told otherwise).
    // Takes effect when the window is made, on the first show.
    void setDesktopShortcut(DesktopShortcut desktop) { m_desktop = std::move(desktop); }

    // Null before the first show.
    QWidget* window() const { return m_window.get(); }
    SettingsView* view() const { return m_view; }

private:
    DoubleTapTrigger& m_doubleTap;
    AccessibilityPermission& m_accessibility;
    KeyCharacters& m_layout;
    Clock& m_clock;
    SecretStore& m_secrets;
    Preferences& m_preferences;
    DoubleTapWaitingFlag m_waiting;
    DesktopShortcut m_desktop;
    std::unique_ptr<QWidget> m_window;
    SettingsView* m_view = nullptr;
};
