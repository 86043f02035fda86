// SPDX-License-Identifier: MIT
#include "ui/ProgressLine.h"

#include "ui/PopoverLabel.h"
#include "ui/PopoverPalette.h"
#include "ui/ProgressSpinner.h"

#include <QHBoxLayout>

ProgressLine::ProgressLine(const QString& label, QWidget* parent)
    : QWidget(parent)
{
    setMinimumHeight(28);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(8);
    layout->addWidget(new ProgressSpinner(PopoverPalette::textSecondary(), this), 0,
                      Qt::AlignVCenter);
    layout->addWidget(popoverLabel(label, 12, PopoverPalette::textSecondary(), this), 0,
                      Qt::AlignVCenter);
    layout->addStretch(1);
}
