// SPDX-License-Identifier: MIT
#pragma once

#include "core/HotkeyShortcut.h"
#include "platform/CommandKeybinding.h"

#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;

// How the shortcut reaches Quillmark on this desktop.
struct DesktopShortcut {
    enum class Home {
        quillmark, // Quillmark holds the key itself (an X11 grab, kglobalaccel)
        gnome,     // an entry among GNOME's custom shortcuts, through `keybinding`
        sway,      // a bindsym line the user adds to sway's configuration
        none,      // the user binds the command in the desktop's own settings
    };
    Home home = Home::quillmark;
    // GNOME: Quillmark's entry in the desktop's settings; without it GNOME is offered nothing.
    CommandKeybinding* keybinding = nullptr;
    // What the desktop's binding runs: this program and "trigger".
    QStringList command;
    // Puts a text on the clipboard (the Copy button); missing, the button is not shown.
    std::function<void(const QString&)> copy;
    // A double tap of a modifier is seen in X11 sessions only.
    bool doubleTapWorks = true;
};

// What the settings window and the guide show where the desktop, not Quillmark, holds the
// shortcut: on GNOME whether its shortcuts hold the combination, with a button that adds or
// removes the entry; on sway the line for its configuration; elsewhere the command to bind.
// Hidden where Quillmark holds the key itself.
class DesktopShortcutOffer : public QWidget {
    Q_OBJECT

public:
    explicit DesktopShortcutOffer(DesktopShortcut desktop, QWidget* parent = nullptr);

    // Shows what the desktop holds for `shortcut`, the combination Quillmark keeps. The
    // layout names keys and must outlive the offer.
    void render(const HotkeyShortcut& shortcut, KeyCharacters& layout);
    // A new combination was recorded: an existing GNOME entry takes it too. The error when
    // GNOME refused it. Render the new combination afterwards.
    std::optional<QString> follow(const HotkeyShortcut& shortcut);

    QString text() const;
    // The line to copy (sway's bindsym, or the command); empty on GNOME.
    QString line() const;
    // Add to or Remove from GNOME's shortcuts, or Copy the line.
    QPushButton& button() const { return *m_button; }

private:
    void act();
    QString refusal(const HotkeyShortcut& shortcut) const;
    void renderGnome(const std::optional<QString>& refusal = std::nullopt);

    DesktopShortcut m_desktop;
    KeyCharacters* m_layout = nullptr;
    HotkeyShortcut m_shortcut;
    QLabel* m_text;
    QLabel* m_line;
    QPushButton* m_button;
};
