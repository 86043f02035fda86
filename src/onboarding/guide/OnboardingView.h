// SPDX-License-Identifier: MIT
#pragma once

#include "core/DoubleTapModifier.h"
#include "ui/recorder/ShortcutRecorder.h"

#include <QWidget>
#include <functional>
#include <optional>

class Clock;
class ConnectPage;
class PermissionPage;
class QPushButton;
class QStackedWidget;
class Preferences;
class SecretStore;
class UsagePage;
class WelcomePage;

// The welcome guide's content: four pages (welcome and shortcut, permission, connecting an
// AI service, usage) with Back and a main button that Return presses: "Next", then "Start
// using Quillmark". Entering the connect page looks for servers on this computer.
class OnboardingView : public QWidget {
    Q_OBJECT

public:
    struct Callbacks {
        // The verdict on a recorded shortcut: nothing when taken, else the error to show.
        ShortcutRecorderView::RecordCallback onRecord;
        std::function<void(bool isRecording)> onRecordingChange;
        std::function<void(DoubleTapModifier)> onDoubleTapChange;
        std::function<void()> onGrant;
        std::function<void()> onRelaunch;
        std::function<void()> onOpenSettings;
        std::function<void()> onFinish;
    };

    static constexpr int pageCount = 4;
    static constexpr int connectStep = 2;

    // The layout names the keys; it, the clock, the key store and the preferences must
    // outlive the view.
    OnboardingView(KeyCharacters& layout, Clock& clock, SecretStore& secrets,
                   Preferences& preferences, QWidget* parent = nullptr);

    // Hands the view the trust state and callbacks of this moment; the page shown, the
    // shortcut and a recording in progress stay as they are.
    void render(bool isTrusted, Callbacks callbacks);
    // Back to the first page, with the shortcut and double-tap choice read from the
    // preferences again.
    void restart();

    int step() const { return m_step; }
    void goBack();
    // "Next" before the last page, finishing on the last.
    void goForward();

    const HotkeyShortcut& shortcut() const { return m_shortcut; }
    const std::optional<QString>& shortcutError() const { return m_shortcutError; }
    DoubleTapModifier doubleTap() const { return m_doubleTap; }

    WelcomePage& welcomePage() const { return *m_welcome; }
    PermissionPage& permissionPage() const { return *m_permission; }
    ConnectPage& connectPage() const { return *m_connect; }
    UsagePage& usagePage() const { return *m_usage; }
    QPushButton& backButton() const { return *m_back; }
    QPushButton& primaryButton() const { return *m_primary; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::optional<QString> record(const HotkeyShortcut& shortcut);
    void chooseDoubleTap(DoubleTapModifier modifier);
    ShortcutRecorder recorderState();
    void showStep(int step);
    void renderPages();

    KeyCharacters& m_layout;
    SecretStore& m_secrets;
    Preferences& m_preferences;
    Callbacks m_callbacks;
    bool m_isTrusted = false;
    int m_step = 0;
    HotkeyShortcut m_shortcut;
    std::optional<QString> m_shortcutError;
    DoubleTapModifier m_doubleTap = DoubleTapModifier::off;

    QStackedWidget* m_pages;
    WelcomePage* m_welcome;
    PermissionPage* m_permission;
    ConnectPage* m_connect;
    UsagePage* m_usage;
    QPushButton* m_back;
    QPushButton* m_primary;
};
