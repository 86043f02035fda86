// SPDX-License-Identifier: MIT
#pragma once

#include "ui/ChipButton.h"

#include <QWidget>

class MenuButton;
class QMenu;

// A chip in two parts: the main part runs the action, the chevron after a thin divider
// opens a menu of variants (the tones of Fix Grammar). The whole chip lightens under the
// pointer.
class SplitChip : public QWidget {
    Q_OBJECT

public:
    SplitChip(const QString& icon, const QString& title, ChipTone tone, QMenu* menu,
              QWidget* parent = nullptr);

    ChipButton& primary() const { return *m_primary; }
    MenuButton& menuButton() const { return *m_menuButton; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ChipTone m_tone;
    ChipButton* m_primary;
    MenuButton* m_menuButton;
};
