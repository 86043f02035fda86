// SPDX-License-Identifier: MIT
#include "ui/NoticePane.h"

#include "core/Callback.h"
#include "ui/ChipButton.h"
#include "ui/PopoverLabel.h"
#include "ui/PopoverPalette.h"
#include "ui/SymbolIcons.h"

#include <QBoxLayout>

NoticePane::NoticePane(const PopoverTexts::Notice& notice, const std::function<void()>& onButton,
                       QWidget* parent)
    : QWidget(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(8);

    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(6);
    auto* icon = new QLabel(this);
    icon->setPixmap(
        SymbolIcons::pixmap(notice.icon, 13, PopoverPalette::textPrimary(), devicePixelRatioF()));
    titleRow->addWidget(icon, 0, Qt::AlignVCenter);
    titleRow->addWidget(
        popoverLabel(notice.title, 13, PopoverPalette::textPrimary(), this, true, QFont::DemiBold),
        1, Qt::AlignVCenter);
    column->addLayout(titleRow);

    column->addWidget(
        popoverLabel(notice.explanation, 11, PopoverPalette::textSecondary(), this, true));

    auto* button = new ChipButton({}, notice.button, ChipTone::plain, this);
    button->setPadding(QMargins(10, 4, 10, 4));
    connect(button, &ChipButton::clicked, this, [&onButton] { invokeIfSet(onButton); });
    column->addWidget(button, 0, Qt::AlignLeft);
}
