// SPDX-License-Identifier: MIT
#pragma once

#include "ui/DarkMenu.h"

class PopoverModel;
class Preferences;

// The tones of Fix Grammar (Business … Concise). Choosing one remembers it under
// "lastStyleID" and then runs the rewrite in that tone.
class ToneMenu : public DarkMenu {
    Q_OBJECT

public:
    ToneMenu(PopoverModel& model, Preferences& preferences, QWidget* parent = nullptr);
};
