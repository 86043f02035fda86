// SPDX-License-Identifier: MIT
#include "ui/PermissionPane.h"

#include "core/Callback.h"
#include "core/PopoverModel.h"
#include "ui/ChipButton.h"
#include "ui/PopoverLabel.h"
#include "ui/PopoverPalette.h"
#include "ui/PopoverTexts.h"
#include "ui/SymbolIcons.h"

#include <QBoxLayout>

PermissionPane::PermissionPane(PopoverModel& model, QWidget* parent)
    : QWidget(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(8);

    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(6);
    auto* icon = new QLabel(this);
    icon->setPixmap(SymbolIcons::pixmap(QStringLiteral("lock.shield"), 13,
                                        PopoverPalette::textPrimary(), devicePixelRatioF()));
    titleRow->addWidget(icon, 0, Qt::AlignVCenter);
    titleRow->addWidget(popoverLabel(PopoverTexts::permissionTitle(), 13,
                                     PopoverPalette::textPrimary(), this, false, QFont::DemiBold),
                        0, Qt::AlignVCenter);
    titleRow->addStretch(1);
    column->addLayout(titleRow);

    column->addWidget(popoverLabel(PopoverTexts::permissionExplanation(), 11,
                                   PopoverPalette::textSecondary(), this, true));

    auto* button = new ChipButton({}, PopoverTexts::permissionButton(), ChipTone::plain, this);
    button->setPadding(QMargins(10, 4, 10, 4));
    connect(button, &ChipButton::clicked, this,
            [&model] { invokeIfSet(model.onOpenAccessibilitySettings); });
    column->addWidget(button, 0, Qt::AlignLeft);
}
