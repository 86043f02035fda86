// SPDX-License-Identifier: MIT
#pragma once

#include "ui/DarkMenu.h"

class PopoverModel;

// The tones of Fix Grammar (Business … Concise). Choosing one remembers it under
// "lastStyleID" and then runs the rewrite in that tone.
class ToneMenu : public DarkMenu {
    Q_OBJECT

public:
    explicit ToneMenu(PopoverModel& model, QWidget* parent = nullptr);
};
