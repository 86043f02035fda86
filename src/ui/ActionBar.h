// SPDX-License-Identifier: MIT
#pragma once

#include "ui/PopoverViewConfig.h"

#include <QWidget>

class PopoverModel;
class Preferences;

// The actions offered beside the captured text, in the order of the preferences: the
// first is accented and answers ⌥1. Chips sit in a row, wrapping onto a second one when
// the panel is too narrow, with the language menu at the end; list rows stack, the language menu
// below them. Fix Grammar is a split control whose chevron offers the tones.
class ActionBar : public QWidget {
    Q_OBJECT

public:
    ActionBar(PopoverModel& model, const PopoverViewConfig& config, Preferences& preferences,
              QWidget* parent = nullptr);

private:
    void buildChips(const PopoverViewConfig& config);
    void buildList(const PopoverViewConfig& config);
    QWidget* languageMenu();
    void run(PopoverAction action);

    PopoverModel& m_model;
    // The tone menus remember the tone chosen.
    Preferences& m_preferences;
};
