// SPDX-License-Identifier: MIT
#include "ui/ProgressSpinner.h"

#include <QPainter>

ProgressSpinner::ProgressSpinner(QColor color, QWidget* parent)
    : QWidget(parent)
    , m_color(std::move(color))
{
    setFixedSize(16, 16);
    m_rotation.setStartValue(0.0);
    m_rotation.setEndValue(360.0);
    m_rotation.setDuration(900);
    m_rotation.setLoopCount(-1);
    connect(&m_rotation, &QVariantAnimation::valueChanged, this, [this] { update(); });
}

void ProgressSpinner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(2, 2, -2, -2);
    QColor track = m_color;
    track.setAlphaF(0.25f);
    painter.setPen(QPen(track, 2));
    painter.drawEllipse(area);
    painter.setPen(QPen(m_color, 2, Qt::SolidLine, Qt::RoundCap));
    const int start = int(-m_rotation.currentValue().toDouble() * 16);
    painter.drawArc(area, start + 90 * 16, 100 * 16);
}

void ProgressSpinner::showEvent(QShowEvent*)
{
    m_rotation.start();
}

void ProgressSpinner::hideEvent(QHideEvent*)
{
    m_rotation.stop();
}
