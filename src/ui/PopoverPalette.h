// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>

// The panel's fixed dark colours. They never follow the desktop's theme: the panel looks
// the same over every application.
namespace PopoverPalette {

inline QColor rgb(double red, double green, double blue)
{
    return QColor::fromRgbF(float(red), float(green), float(blue));
}

inline QColor panel()
{
    return rgb(0.118, 0.118, 0.133);
}
inline QColor panelBorder()
{
    return rgb(0.22, 0.22, 0.243);
}
inline QColor field()
{
    return rgb(0.086, 0.086, 0.098);
}
inline QColor fieldBorder()
{
    return rgb(0.18, 0.18, 0.2);
}
inline QColor textPrimary()
{
    return rgb(0.91, 0.91, 0.918);
}
inline QColor textSecondary()
{
    return rgb(0.63, 0.63, 0.66);
}
inline QColor textTertiary()
{
    return rgb(0.47, 0.47, 0.5);
}
inline QColor chip()
{
    return rgb(0.165, 0.165, 0.188);
}
inline QColor chipHover()
{
    return rgb(0.21, 0.21, 0.238);
}
inline QColor chipText()
{
    return rgb(0.847, 0.847, 0.863);
}
inline QColor accent()
{
    return rgb(0.498, 0.467, 0.867);
}
inline QColor accentHover()
{
    return rgb(0.56, 0.53, 0.9);
}
inline QColor onAccent()
{
    return rgb(0.086, 0.086, 0.102);
}
inline QColor warning()
{
    return rgb(1.0, 0.8, 0.0);
}

// What shows through the panel's translucent fill. There is no blurred backdrop on every
// desktop, so a dark solid stands in for it and the panel reads the same everywhere.
inline QColor material()
{
    return rgb(0.16, 0.16, 0.17);
}
inline constexpr double panelFillOpacity = 0.86;

} // namespace PopoverPalette
