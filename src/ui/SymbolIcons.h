// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

// The panel's small drawings, named after the symbols they show ("globe", "doc.on.doc").
// They are drawn in one colour and tinted when painted, so one drawing serves every
// button state.
namespace SymbolIcons {

// Whether a drawing of that name ships with the product.
[[nodiscard]] bool exists(const QString& name);

// The drawing in a square of `size` logical pixels, in `color`, for a screen with the
// given device pixel ratio. An unknown name gives an empty pixmap of that size.
QPixmap pixmap(const QString& name, int size, const QColor& color, qreal devicePixelRatio);

} // namespace SymbolIcons
