// SPDX-License-Identifier: MIT
#pragma once

#include "settings/PopoverEnums.h"

#include <QWidget>

class PopoverModel;

// Replace, Copy and Back under a result, as chips or as rows, and the token counts of
// the call when the back-end reported them.
class ResultBar : public QWidget {
    Q_OBJECT

public:
    ResultBar(PopoverModel& model, PopoverLayout layout, QWidget* parent = nullptr);
};
