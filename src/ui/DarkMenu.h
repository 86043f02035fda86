// SPDX-License-Identifier: MIT
#pragma once

#include <QMenu>

// A pop-up menu in the panel's dark colours, whatever the desktop's theme.
class DarkMenu : public QMenu {
    Q_OBJECT

public:
    explicit DarkMenu(QWidget* parent = nullptr);
};
