// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class PopoverModel;

// Explains that Quillmark needs the accessibility permission and opens the settings
// where it is granted.
class PermissionPane : public QWidget {
    Q_OBJECT

public:
    explicit PermissionPane(PopoverModel& model, QWidget* parent = nullptr);
};
