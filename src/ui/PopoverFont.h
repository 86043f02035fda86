// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>
#include <QFont>

// The desktop's user-interface font at a size in logical pixels, so the panel's sizes do
// not change with the screen's dots per inch.
inline QFont popoverFont(int pixelSize, QFont::Weight weight = QFont::Normal)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}
