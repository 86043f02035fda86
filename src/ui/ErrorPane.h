// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class PopoverModel;

// A failed or refused action: the message beside a warning sign, then the button of the
// recovery (Settings, Update or Try Again) if one can help, and Copy and Back.
class ErrorPane : public QWidget {
    Q_OBJECT

public:
    explicit ErrorPane(PopoverModel& model, QWidget* parent = nullptr);
};
