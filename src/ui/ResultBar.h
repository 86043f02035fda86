// SPDX-License-Identifier: MIT
#pragma once

#include "settings/PopoverEnums.h"

#include <QWidget>

class PopoverModel;

// Replace, Copy (or "Copied" once it has copied) and Back under a result, as chips or as
// rows, and the token counts of the call when the back-end reported them: at the right end
// of the chips (on a row of their own when the chips leave no room) or right-aligned under
// the rows.
class ResultBar : public QWidget {
    Q_OBJECT

public:
    ResultBar(PopoverModel& model, PopoverLayout layout, QWidget* parent = nullptr);
};
