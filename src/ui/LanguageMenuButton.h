// SPDX-License-Identifier: MIT
#pragma once

#include "ui/MenuButton.h"

class PopoverModel;

// The globe with the target language's code ("DE"); its menu lists every language by
// name, the current one checked, and a choice becomes the model's target language.
class LanguageMenuButton : public MenuButton {
    Q_OBJECT

public:
    explicit LanguageMenuButton(PopoverModel& model, QWidget* parent = nullptr);
};
