// SPDX-License-Identifier: MIT
#pragma once

#include "ai/LocalServerProbe.h"
#include "core/Clock.h"
#include "core/HotkeyShortcut.h"
#include "onboarding/guide/PermissionPage.h"
#include "onboarding/guide/WelcomeGuide.h"
#include "platform/AccessibilityBus.h"
#include "platform/AccessibilityPermission.h"
#include "ui/settings/DesktopShortcutOffer.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class OnboardingView;
class QWidget;
class Preferences;
class SecretStore;

// The welcome guide's window: shown once on the first run and from the tray menu's
// "How to Use Quillmark…". While it is open it checks the accessibility grant every second,
// so the permission page switches to "This desktop is ready." without a relaunch. The window is
// made on the first show and kept. Main thread only.
class OnboardingWindowController final : public QObject, public WelcomeGuide {
    Q_OBJECT

public:
    static constexpr std::chrono::seconds pollInterval{1};

    // The permission, the layout, the clock, the key store, the preferences and the bus are
    // borrowed and must outlive the controller; without a bus the guide says nothing about it.
    // `relaunch` starts a new instance and ends this one, for a grant the running process
    // cannot see.
    OnboardingWindowController(AccessibilityPermission& accessibility, KeyCharacters& layout,
                               Clock& clock, SecretStore& secrets, Preferences& preferences,
                               std::function<void()> relaunch,
                               AccessibilityBus* accessibilityBus = nullptr,
                               QObject* parent = nullptr);
    ~OnboardingWindowController() override;

    // Marks the guide as seen at once (quitting half-way does not bring it back), then
    // opens it in front and starts the permission poll.
    void show() override;
    void showIfFirstRun() override;
    // Stops the poll and closes the window, which is kept for the next show.
    void close();
    // The ports the connect page searches for servers on this computer; the usual ones
    // until set.
    void setProbeCandidates(QList<LocalServerProbe::Candidate> candidates);
    // How this desktop runs the shortcut, for the usage page (Quillmark holds it itself
    // until told otherwise). Takes effect when the window is made, on the first show.
    void setDesktopShortcut(DesktopShortcut desktop) { m_desktop = std::move(desktop); }

    // Null before the first show.
    QWidget* window() const { return m_window.get(); }
    OnboardingView* view() const { return m_view; }
    bool isTrusted() const { return m_isTrusted; }
    bool isPollRunning() const { return m_poll != nullptr; }

private:
    void render();
    void readBus();
    void switchOnBus();
    void renderBus();
    std::optional<QString> record(const HotkeyShortcut& shortcut);
    void cancelPoll();
    void schedulePoll();
    void pollTrust();

    AccessibilityPermission& m_accessibility;
    std::function<void()> m_relaunch;
    AccessibilityBus* m_accessibilityBus;
    KeyCharacters& m_layout;
    Clock& m_clock;
    SecretStore& m_secrets;
    Preferences& m_preferences;
    QList<LocalServerProbe::Candidate> m_candidates = LocalServerProbe::usualPorts();
    DesktopShortcut m_desktop;
    PermissionPage::BusView m_busView = PermissionPage::BusView::hidden;
    std::unique_ptr<QWidget> m_window;
    OnboardingView* m_view = nullptr;
    std::unique_ptr<ClockTimer> m_poll;
    bool m_isTrusted = false;
};
