// SPDX-License-Identifier: MIT
#pragma once

#include "ui/ActionRow.h"

#include <QWidget>

class MenuButton;
class QMenu;

// A list row in two parts: the row runs the action, the chevron at its right end opens
// a menu of variants (the tones of Fix Grammar). The whole row highlights under the
// pointer.
class SplitRow : public QWidget {
    Q_OBJECT

public:
    SplitRow(ActionRow::Look look, QMenu* menu, QWidget* parent = nullptr);

    ActionRow& primary() const { return *m_primary; }
    MenuButton& menuButton() const { return *m_menuButton; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ActionRow* m_primary;
    MenuButton* m_menuButton;
};
