// SPDX-License-Identifier: MIT
#pragma once

#include "core/HotkeyShortcut.h"

#include <QWidget>
#include <functional>

class KeyCaps;

// The guide's last page: how to use the panel, with the current shortcut drawn as keys.
class UsagePage : public QWidget {
    Q_OBJECT

public:
    explicit UsagePage(QWidget* parent = nullptr);

    void render(const HotkeyShortcut& shortcut, KeyCharacters& layout,
                std::function<void()> onOpenSettings);

    const KeyCaps& keyCaps() const { return *m_keys; }

private:
    KeyCaps* m_keys;
    std::function<void()> m_onOpenSettings;
};
