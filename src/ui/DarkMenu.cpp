// SPDX-License-Identifier: MIT
#include "ui/DarkMenu.h"

#include "ui/PopoverFont.h"
#include "ui/PopoverPalette.h"

DarkMenu::DarkMenu(QWidget* parent)
    : QMenu(parent)
{
    using namespace PopoverPalette;
    setFont(popoverFont(13));
    setStyleSheet(QStringLiteral("QMenu { background: %1; border: 1px solid %2; padding: 4px; "
                                 "border-radius: 6px; }"
                                 "QMenu::item { color: %3; padding: 4px 18px 4px 22px; "
                                 "border-radius: 4px; }"
                                 "QMenu::item:selected { background: %4; color: %5; }"
                                 "QMenu::item:disabled { color: %6; background: transparent; }"
                                 "QMenu::indicator { width: 12px; left: 6px; }")
                      .arg(panel().name(), panelBorder().name(), textPrimary().name(),
                           accent().name(), onAccent().name(), textTertiary().name()));
}
