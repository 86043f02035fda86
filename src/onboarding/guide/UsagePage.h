// SPDX-License-Identifier: MIT
#pragma once

#include "core/HotkeyShortcut.h"
#include "ui/settings/DesktopShortcutOffer.h"

#include <QWidget>
#include <functional>
#include <optional>

class KeyCaps;
class QBoxLayout;
class QLabel;
class QPushButton;

// The guide's last page: how to use the panel, with the current shortcut drawn as keys, and
// whether an AI service is ready for it.
class UsagePage : public QWidget {
    Q_OBJECT

public:
    explicit UsagePage(QWidget* parent = nullptr);

    void render(const HotkeyShortcut& shortcut, KeyCharacters& layout,
                std::function<void()> onOpenSettings);
    // Where the desktop holds the shortcut, the page shows what its settings need, as the
    // settings window does.
    void setDesktopShortcut(DesktopShortcut desktop);

    // "You're all set." when nothing is missing; otherwise what is, with a way back to
    // the page that connects a service.
    void renderService(const std::optional<QString>& missing, std::function<void()> onConnect);

    const KeyCaps& keyCaps() const { return *m_keys; }
    // Null until a desktop was set.
    DesktopShortcutOffer* desktopOffer() const { return m_offer; }
    QString serviceText() const;
    QPushButton& connectButton() const { return *m_connect; }

private:
    KeyCaps* m_keys;
    QBoxLayout* m_column;
    DesktopShortcutOffer* m_offer = nullptr;
    QLabel* m_readyIcon;
    QLabel* m_service;
    QPushButton* m_connect;
    std::function<void()> m_onOpenSettings;
    std::function<void()> m_onConnect;
};
