// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>

// The tray's two drawings, named after the symbols they show. They are drawn in the
// product's accent colour, which reads on light and dark panels alike.
namespace TrayIcons {

// "text.magnifyingglass": the icon at rest.
QIcon normal();
// "magnifyingglass.circle.fill": the icon while a trigger flashes it.
QIcon flashing();

// A drawing of either name at `size` logical pixels, for the About window.
QPixmap pixmap(const QString& symbol, int size, qreal devicePixelRatio);

} // namespace TrayIcons
