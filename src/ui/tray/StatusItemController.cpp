// SPDX-License-Identifier: MIT
#include "ui/tray/StatusItemController.h"

#include "core/Callback.h"
#include "core/Log.h"
#include "ui/DarkMenu.h"
#include "ui/tray/TrayIcons.h"
#include "updates/UpdateConfig.h"

#include <QCoreApplication>
#include <QCursor>

StatusItemController::StatusItemController(AccessibilityPermission& accessibility, Clock& clock,
                                           const UpdateConfig& updates,
                                           XdgAutostartEntry launchAtLogin, QObject* parent)
    : QObject(parent)
    , m_accessibility(accessibility)
    , m_clock(clock)
    , m_updates(updates)
    , m_launchAtLogin(std::move(launchAtLogin))
    , m_normalIcon(TrayIcons::normal())
    , m_flashingIcon(TrayIcons::flashing())
    , m_menu(std::make_unique<DarkMenu>())
{
    m_statusItem.setIcon(m_normalIcon);
    m_statusItem.setToolTip(QStringLiteral("Quillmark"));
    connect(m_menu.get(), &QMenu::aboutToShow, this, &StatusItemController::menuNeedsUpdate);
    m_statusItem.setContextMenu(m_menu.get());
    // A menu-bar item opens its menu on a plain click; tray hosts that report the click
    // instead of opening the menu themselves get the same.
    connect(&m_statusItem, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger && !m_menu->isVisible())
                    m_menu->popup(QCursor::pos());
            });
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        Log::app().info(QStringLiteral("no system tray is running — the tray icon is not "
                                       "shown; the shortcut and `quillmark trigger` still work"));
    }
    // Shown even without a tray: a tray that starts later picks the icon up. The menu is
    // filled after the icon is on its way, before anything can open it.
    m_statusItem.show();
    menuNeedsUpdate();
}

StatusItemController::~StatusItemController()
{
    m_statusItem.setContextMenu(nullptr);
}

void StatusItemController::flash()
{
    setIconState(IconState::flashing);
    // A flash during a running one keeps the earlier restore; the timer dies with the
    // controller.
    if (m_flashTimer)
        return;
    m_flashTimer = m_clock.startTimer(flashDuration, [this] {
        m_flashTimer.reset();
        setIconState(IconState::normal);
    });
}

void StatusItemController::setIconState(IconState state)
{
    m_iconState = state;
    m_statusItem.setIcon(state == IconState::normal ? m_normalIcon : m_flashingIcon);
}

void StatusItemController::menuNeedsUpdate()
{
    QMenu& menu = *m_menu;
    menu.clear();
    if (!m_accessibility.isTrusted()) {
        menu.addAction(grantAccessTitle, this, &StatusItemController::grantAccess);
        menu.addSeparator();
    }
    menu.addAction(QStringLiteral("About Quillmark"), this, &StatusItemController::showAbout);
    // Without a feed the item stays, greyed, with the reason under it, so nobody wonders
    // why nothing happens.
    const bool hasFeed = m_updates.feedURL().has_value();
    QAction* updates = menu.addAction(QStringLiteral("Check for Updates…"), this,
                                      &StatusItemController::checkForUpdates);
    updates->setEnabled(hasFeed && (!canCheckForUpdates || canCheckForUpdates()));
    if (!hasFeed)
        menu.addAction(noUpdatesReason)->setEnabled(false);
    menu.addAction(QStringLiteral("How to Use Quillmark…"), this, &StatusItemController::showGuide);
    menu.addSeparator();
    // No shortcuts are shown: the menu's keys work only while it is open, and a "Ctrl+Q"
    // beside Quit would read as a key that quits Quillmark from anywhere.
    menu.addAction(QStringLiteral("Settings…"), this, &StatusItemController::openSettings);
    QAction* launchAtLogin = menu.addAction(QStringLiteral("Launch at Login"), this,
                                            &StatusItemController::toggleLaunchAtLogin);
    launchAtLogin->setCheckable(true);
    launchAtLogin->setChecked(m_launchAtLogin.isEnabled());
    menu.addSeparator();
    menu.addAction(QStringLiteral("Quit Quillmark"), qApp, &QCoreApplication::quit);
}

void StatusItemController::grantAccess()
{
    (void)m_accessibility.promptIfNeeded();
    m_accessibility.openSystemSettings();
}

void StatusItemController::showAbout()
{
    m_about.show();
}

void StatusItemController::checkForUpdates()
{
    invokeIfSet(onCheckForUpdates);
}

void StatusItemController::showGuide()
{
    invokeIfSet(onShowGuide);
}

void StatusItemController::openSettings()
{
    invokeIfSet(onOpenSettings);
}

void StatusItemController::toggleLaunchAtLogin()
{
    QString failure;
    if (!m_launchAtLogin.isEnabled()) {
        if (m_launchAtLogin.enable(failure)) {
            Log::app().info(QStringLiteral("launch at login enabled"));
            return;
        }
    } else if (m_launchAtLogin.disable(failure)) {
        Log::app().info(QStringLiteral("launch at login disabled"));
        return;
    }
    // Nothing is shown: the check mark follows the entry the next time the menu opens.
    Log::app().error(QStringLiteral("launch-at-login toggle failed: %1").arg(failure));
}
