// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "platform/AccessibilityPermission.h"
#include "platform/xdg/XdgAutostartEntry.h"
#include "ui/tray/AboutPanel.h"
#include "ui/tray/StatusItem.h"

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>
#include <memory>

class QMenu;
class UpdateConfig;

// The tray icon and its menu, Quillmark's only permanent presence on the desktop. The
// menu is rebuilt every time it opens, so it shows the keyboard access, the update feed and
// the launch-at-login state of that moment. Where no tray is running the icon simply does not
// appear: the shortcut and `quillmark trigger` still open the panel, and one log line says so. Main
// thread only.
class StatusItemController final : public QObject, public StatusItem {
    Q_OBJECT

public:
    enum class IconState { normal, flashing };

    static constexpr std::chrono::milliseconds flashDuration{300};
    // The first item while the X server lacks the extensions Quillmark needs.
    static inline const QString grantAccessTitle = QStringLiteral("Fix Keyboard Access…");
    // The greyed line under Check for Updates… when this build reads no update feed.
    static inline const QString noUpdatesReason =
        QStringLiteral("Updates come from your package manager");

    // The permission, the clock and the update configuration are borrowed and must outlive
    // the controller.
    StatusItemController(AccessibilityPermission& accessibility, Clock& clock,
                         const UpdateConfig& updates,
                         XdgAutostartEntry launchAtLogin = XdgAutostartEntry(),
                         QObject* parent = nullptr);
    ~StatusItemController() override;

    // Shows the flashing icon for 0.3 seconds. A flash during another one shows it again;
    // the earliest pending restore brings the normal icon back.
    void flash() override;

    // Rebuilds the menu's items; runs whenever the menu is about to open.
    void menuNeedsUpdate();

    // The menu commands.
    void grantAccess();
    void showAbout();
    void checkForUpdates();
    void showGuide();
    void openSettings();
    void toggleLaunchAtLogin();

    IconState iconState() const { return m_iconState; }
    QMenu& menu() const { return *m_menu; }
    QSystemTrayIcon& trayIcon() { return m_statusItem; }
    const AboutPanel& aboutPanel() const { return m_about; }

private:
    void setIconState(IconState state);

    AccessibilityPermission& m_accessibility;
    Clock& m_clock;
    const UpdateConfig& m_updates;
    XdgAutostartEntry m_launchAtLogin;
    AboutPanel m_about;
    QIcon m_normalIcon;
    QIcon m_flashingIcon;
    IconState m_iconState = IconState::normal;
    QSystemTrayIcon m_statusItem;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<ClockTimer> m_flashTimer;
};
