// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class PopoverModel;

// A failed or refused action: the message beside a warning sign, then the button of the
// recovery (Settings, Update or Try Again) if one can help, and Copy (or "Copied" once it
// has copied) and Back, in the order of PopoverModel::errorButtons().
class ErrorPane : public QWidget {
    Q_OBJECT

public:
    explicit ErrorPane(PopoverModel& model, QWidget* parent = nullptr);
};
