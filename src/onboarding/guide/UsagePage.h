// SPDX-License-Identifier: MIT
#pragma once

#include "core/HotkeyShortcut.h"

#include <QWidget>
#include <functional>
#include <optional>

class KeyCaps;
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

    // "You're all set." when nothing is missing; otherwise what is, with a way back to
    // the page that connects a service.
    void renderService(const std::optional<QString>& missing, std::function<void()> onConnect);

    const KeyCaps& keyCaps() const { return *m_keys; }
    QString serviceText() const;
    QPushButton& connectButton() const { return *m_connect; }

private:
    KeyCaps* m_keys;
    QLabel* m_readyIcon;
    QLabel* m_service;
    QPushButton* m_connect;
    std::function<void()> m_onOpenSettings;
    std::function<void()> m_onConnect;
};
