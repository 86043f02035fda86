// SPDX-License-Identifier: MIT
#pragma once

#include "core/DoubleTapModifier.h"
#include "core/HotkeyShortcut.h"
#include "ui/recorder/ShortcutRecorder.h"
#include "ui/settings/DesktopShortcutOffer.h"
#include "ui/settings/FormSection.h"

#include <functional>
#include <optional>

class AccessibilityPermission;
class DoubleTapTrigger;
class DoubleTapWaitingFlag;
class Preferences;
class QComboBox;
class QLabel;
class QPushButton;

// "Hotkey": the shortcut recorder with its explanation or error and a reset to the
// default, what the desktop's own settings need where the desktop holds the shortcut, and
// the double-tap picker with its hint, or the warning that it waits for the desktop's
// keyboard access (or, outside X11, the note that double tap needs an X11 session).
class HotkeySection : public FormSection {
    Q_OBJECT

public:
    struct Owner {
        // Asks for a recorded shortcut to be registered; true when the system took it.
        std::function<bool(const HotkeyShortcut&)> onHotkeyChange;
        std::function<void(bool isRecording)> onRecordingChange;
        // Any of the three may be missing; the section then skips what it would do with it.
        DoubleTapTrigger* doubleTap = nullptr;
        DoubleTapWaitingFlag* waiting = nullptr;
        AccessibilityPermission* accessibility = nullptr;
        // How this desktop runs the shortcut, and whether it sees a double tap.
        DesktopShortcut desktop;
    };

    // The layout names the keys and must outlive the section.
    HotkeySection(Owner owner, KeyCharacters& layout, Preferences& preferences,
                  QWidget* parent = nullptr);

    // The recorder's verdict on a combination: nothing when it was registered and stored,
    // otherwise the error, which is also shown in red under the recorder.
    std::optional<QString> record(const HotkeyShortcut& shortcut);
    // Reads the shortcut and the double-tap modifier from the preferences again.
    void reload();

    const HotkeyShortcut& hotkeyShortcut() const { return m_hotkeyShortcut; }
    const std::optional<QString>& hotkeyError() const { return m_hotkeyError; }
    DoubleTapModifier doubleTapModifier() const { return m_doubleTapModifier; }

    ShortcutRecorderView& recorder() const { return *m_recorder; }
    QComboBox& doubleTapPicker() const { return *m_picker; }
    // The caption under the recorder, and the line under the picker (the warning's text
    // while it is shown).
    QString recorderCaption() const;
    QString doubleTapHint() const;
    bool isShowingAccessibilityWarning() const;
    QPushButton& openSettingsButton() const { return *m_openSettings; }
    // Puts the default combination back, through the same checks as a recorded one.
    QPushButton& resetButton() const { return *m_reset; }
    DesktopShortcutOffer& desktopOffer() const { return *m_offer; }

private:
    void recordingChanged(bool isRecording);
    void chooseDoubleTap(DoubleTapModifier modifier);
    ShortcutRecorder recorderState();
    void renderRecorder();
    void renderCaption();
    void renderDoubleTap();

    Owner m_owner;
    KeyCharacters& m_layout;
    Preferences& m_preferences;
    HotkeyShortcut m_hotkeyShortcut;
    std::optional<QString> m_hotkeyError;
    DoubleTapModifier m_doubleTapModifier = DoubleTapModifier::off;

    ShortcutRecorderView* m_recorder;
    QLabel* m_caption;
    QPushButton* m_reset;
    DesktopShortcutOffer* m_offer;
    QComboBox* m_picker;
    QWidget* m_warning;
    QLabel* m_warningText;
    QPushButton* m_openSettings;
    QLabel* m_hint;
};
