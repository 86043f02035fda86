// SPDX-License-Identifier: MIT
#include "ui/tray/TrayIcons.h"

#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

// The drawings live in a static library; naming the resource here keeps the linker from
// dropping it.
static void registerTrayResources()
{
    Q_INIT_RESOURCE(tray_icons);
}

namespace TrayIcons {

namespace {

QIcon iconFor(const QString& symbol)
{
    // Trays ask for sizes from 16 to 48 pixels; drawing each one keeps the lines sharp
    // where a scaled bitmap would blur.
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(pixmap(symbol, size, 1.0));
    return icon;
}

} // namespace

QPixmap pixmap(const QString& symbol, int size, qreal devicePixelRatio)
{
    static const bool registered = [] {
        registerTrayResources();
        return true;
    }();
    Q_UNUSED(registered);
    const int pixels = int(std::ceil(size * devicePixelRatio));
    QPixmap result(pixels, pixels);
    result.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/tray/%1.svg").arg(symbol));
    QPainter painter(&result);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, pixels, pixels));
    painter.end();
    result.setDevicePixelRatio(devicePixelRatio);
    return result;
}

QIcon normal()
{
    return iconFor(QStringLiteral("text.magnifyingglass"));
}

QIcon flashing()
{
    return iconFor(QStringLiteral("magnifyingglass.circle.fill"));
}

} // namespace TrayIcons
