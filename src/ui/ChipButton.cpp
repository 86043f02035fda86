// SPDX-License-Identifier: MIT
#include "ui/ChipButton.h"

#include "ui/PopoverFont.h"
#include "ui/PopoverPalette.h"
#include "ui/SymbolIcons.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int symbolSize = 11;
constexpr int titleSize = 12;
constexpr int spacing = 5;
constexpr qreal radius = 7;
constexpr qreal pressedScale = 0.97;

} // namespace

ChipButton::ChipButton(QString icon, const QString& title, ChipTone tone, QWidget* parent)
    : QAbstractButton(parent)
    , m_icon(std::move(icon))
    , m_tone(tone)
{
    setText(title);
    setAccessibleName(title);
    setFont(popoverFont(titleSize, m_tone == ChipTone::accent ? QFont::Medium : QFont::Normal));
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ChipButton::setBackgroundVisible(bool visible)
{
    m_backgroundVisible = visible;
    update();
}

void ChipButton::setPadding(QMargins padding)
{
    m_padding = padding;
    updateGeometry();
}

QSize ChipButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    int width = 0;
    if (!m_icon.isEmpty())
        width += symbolSize;
    if (!text().isEmpty())
        width += (width > 0 ? spacing : 0) + metrics.horizontalAdvance(text());
    const int height = std::max(symbolSize, metrics.height());
    return {width + m_padding.left() + m_padding.right(),
            height + m_padding.top() + m_padding.bottom()};
}

void ChipButton::paintEvent(QPaintEvent*)
{
    const bool accent = m_tone == ChipTone::accent;
    const QColor base = accent ? PopoverPalette::accent() : PopoverPalette::chip();
    const QColor hover = accent ? PopoverPalette::accentHover() : PopoverPalette::chipHover();
    const QColor foreground = accent ? PopoverPalette::onAccent() : PopoverPalette::chipText();

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isDown()) {
        const QPointF centre = QRectF(rect()).center();
        painter.translate(centre);
        painter.scale(pressedScale, pressedScale);
        painter.translate(-centre);
    }
    if (m_backgroundVisible) {
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()), radius, radius);
        painter.fillPath(shape, underMouse() || isDown() ? hover : base);
    }

    const QRect content = rect().marginsRemoved(m_padding);
    int x = content.left();
    if (!m_icon.isEmpty()) {
        const int y = content.top() + (content.height() - symbolSize) / 2;
        painter.drawPixmap(
            x, y, SymbolIcons::pixmap(m_icon, symbolSize, foreground, devicePixelRatioF()));
        x += symbolSize + spacing;
    }
    painter.setFont(font());
    painter.setPen(foreground);
    painter.drawText(QRect(x, content.top(), content.right() - x + 1, content.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
}
