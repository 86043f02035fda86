// SPDX-License-Identifier: MIT
#pragma once

#include "ui/PopoverTexts.h"

#include <QWidget>
#include <functional>

// Why Quillmark cannot go on yet and the one button that leads to the fix: the keyboard
// access it lacks, or the AI service nobody has chosen.
class NoticePane : public QWidget {
    Q_OBJECT

public:
    // The callback is the model's and must outlive the pane.
    NoticePane(const PopoverTexts::Notice& notice, const std::function<void()>& onButton,
               QWidget* parent = nullptr);
};
