// SPDX-License-Identifier: MIT
#pragma once

#include "ui/PopoverFont.h"

#include <QLabel>

// A plain text of the panel in one of its fixed colours; wrapping ones grow downwards.
inline QLabel* popoverLabel(const QString& text, int pixelSize, const QColor& color,
                            QWidget* parent, bool wrap = false,
                            QFont::Weight weight = QFont::Normal)
{
    auto* label = new QLabel(text, parent);
    label->setFont(popoverFont(pixelSize, weight));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(wrap);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}
