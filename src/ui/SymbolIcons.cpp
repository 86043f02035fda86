// SPDX-License-Identifier: MIT
#include "ui/SymbolIcons.h"

#include <QFile>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <cmath>

// The icons live in a static library; naming the resource here keeps the linker from
// dropping it.
static void registerIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace SymbolIcons {

namespace {

QString resourcePath(const QString& name)
{
    static const bool registered = [] {
        registerIconResources();
        return true;
    }();
    Q_UNUSED(registered);
    return QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
}

} // namespace

bool exists(const QString& name)
{
    return QFile::exists(resourcePath(name));
}

QPixmap pixmap(const QString& name, int size, const QColor& color, qreal devicePixelRatio)
{
    const QString key = QStringLiteral("symbol:%1:%2:%3:%4")
                            .arg(name, QString::number(size), color.name(QColor::HexArgb),
                                 QString::number(devicePixelRatio));
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;

    const int pixels = int(std::ceil(size * devicePixelRatio));
    QPixmap result(pixels, pixels);
    result.fill(Qt::transparent);
    if (exists(name)) {
        QSvgRenderer renderer(resourcePath(name));
        QPainter painter(&result);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, pixels, pixels));
        // Keep the drawing's coverage and replace its colour.
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(result.rect(), color);
    }
    result.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, result);
    return result;
}

} // namespace SymbolIcons
