// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

// The guide's kinds of text and its symbols, in the desktop's palette.
namespace GuideStyle {

// A page title, large and bold.
QLabel* title(const QString& text, QWidget* parent);
// Body text, wrapped.
QLabel* body(const QString& text, QWidget* parent);
// A hint in the caption font, faded.
QLabel* hint(const QString& text, QWidget* parent);
// A flat button drawn as a link; it never takes Return from the guide's main button.
QPushButton* link(const QString& text, QWidget* parent);
// A symbol drawing ("globe", "checkmark.circle.fill") in the colour at `size` pixels.
QPixmap symbol(const QString& name, int size, const QColor& color, const QWidget& widget);

} // namespace GuideStyle
