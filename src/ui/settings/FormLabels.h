// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QLabel>

// The few kinds of text the settings window and the welcome guide share. They follow the
// desktop's palette, light or dark.
namespace FormLabels {

// The desktop's text colour, faded: for explanations under a control.
QColor secondary(const QWidget& widget);
// Red for an error, green for a confirmation, each bright enough on a dark palette.
QColor red(const QWidget& widget);
QColor green(const QWidget& widget);

// The desktop's font, a size smaller.
QFont captionFont();
// A wrapped label in the caption font (smaller than the body text) in `color`.
QLabel* caption(const QString& text, const QColor& color, QWidget* parent);
// Gives an existing label another colour.
void setColor(QLabel& label, const QColor& color);

} // namespace FormLabels
