// SPDX-License-Identifier: MIT
#include "ui/settings/FormLabels.h"

#include <QApplication>

namespace FormLabels {

namespace {

bool isDark(const QWidget& widget)
{
    return widget.palette().color(QPalette::Window).lightness() < 128;
}

} // namespace

QColor secondary(const QWidget& widget)
{
    QColor color = widget.palette().color(QPalette::WindowText);
    color.setAlphaF(0.62f);
    return color;
}

QColor red(const QWidget& widget)
{
    return isDark(widget) ? QColor(255, 105, 97) : QColor(200, 30, 30);
}

QColor green(const QWidget& widget)
{
    return isDark(widget) ? QColor(48, 209, 88) : QColor(30, 140, 50);
}

QFont captionFont()
{
    QFont font = QApplication::font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    return font;
}

QLabel* caption(const QString& text, const QColor& color, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setFont(captionFont());
    setColor(*label, color);
    return label;
}

void setColor(QLabel& label, const QColor& color)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, color);
    label.setPalette(palette);
}

} // namespace FormLabels
