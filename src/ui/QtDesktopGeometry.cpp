// SPDX-License-Identifier: MIT
#include "ui/QtDesktopGeometry.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace {

PanelGeometry::ScreenArea areaOf(const QScreen& screen)
{
    return {screen.geometry(), screen.availableGeometry()};
}

} // namespace

QPoint QtDesktopGeometry::pointerPosition() const
{
    return QCursor::pos();
}

QList<PanelGeometry::ScreenArea> QtDesktopGeometry::screens() const
{
    QList<PanelGeometry::ScreenArea> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.append(areaOf(*screen));
    return areas;
}

std::optional<PanelGeometry::ScreenArea> QtDesktopGeometry::primaryScreen() const
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return areaOf(*screen);
    return std::nullopt;
}

bool QtDesktopGeometry::isOwnWindowAt(QPoint point) const
{
    const QWindow* window = QGuiApplication::topLevelAt(point);
    return window && window->isVisible();
}
