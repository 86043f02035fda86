// SPDX-License-Identifier: MIT
#include "ui/ActionRow.h"

#include "ui/PopoverFont.h"
#include "ui/PopoverPalette.h"
#include "ui/SymbolIcons.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int symbolSize = 13;
constexpr int iconBoxWidth = 18;
constexpr int titleSize = 13;
constexpr int shortcutSize = 11;
constexpr int spacing = 9;
constexpr int minimumGap = 12;
constexpr int horizontalPadding = 10;
constexpr int gutter = 22;
constexpr int verticalPadding = 7;
constexpr qreal radius = 6;

} // namespace

ActionRow::ActionRow(Look look, QWidget* parent)
    : QAbstractButton(parent)
    , m_look(std::move(look))
{
    setText(m_look.title);
    setAccessibleName(m_look.title);
    setFont(popoverFont(titleSize, m_look.accent ? QFont::Medium : QFont::Normal));
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ActionRow::setBackgroundVisible(bool visible)
{
    m_backgroundVisible = visible;
    update();
}

QSize ActionRow::minimumSizeHint() const
{
    const QFontMetrics title(font());
    const QFontMetrics shortcut(popoverFont(shortcutSize));
    int width = horizontalPadding * 2 + (m_look.menuGutter ? gutter : 0) + iconBoxWidth + spacing +
                title.horizontalAdvance(m_look.title) + spacing + minimumGap;
    if (!m_look.shortcut.isEmpty())
        width += spacing + shortcut.horizontalAdvance(m_look.shortcut);
    const int height = std::max({symbolSize, title.height(), shortcut.height()});
    return {width, height + verticalPadding * 2};
}

QSize ActionRow::sizeHint() const
{
    return minimumSizeHint();
}

void ActionRow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_backgroundVisible && (underMouse() || isDown())) {
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()), radius, radius);
        painter.fillPath(shape, PopoverPalette::chipHover());
    }

    const QRect content =
        rect().adjusted(horizontalPadding, verticalPadding,
                        -horizontalPadding - (m_look.menuGutter ? gutter : 0), -verticalPadding);
    const QColor iconColor =
        m_look.accent ? PopoverPalette::accent() : PopoverPalette::textSecondary();
    painter.drawPixmap(
        content.left() + (iconBoxWidth - symbolSize) / 2,
        content.top() + (content.height() - symbolSize) / 2,
        SymbolIcons::pixmap(m_look.icon, symbolSize, iconColor, devicePixelRatioF()));

    QRect textArea = content.adjusted(iconBoxWidth + spacing, 0, 0, 0);
    if (!m_look.shortcut.isEmpty()) {
        const QFont shortcutFont = popoverFont(shortcutSize);
        const int width = QFontMetrics(shortcutFont).horizontalAdvance(m_look.shortcut);
        painter.setFont(shortcutFont);
        painter.setPen(PopoverPalette::textTertiary());
        painter.drawText(content, Qt::AlignRight | Qt::AlignVCenter, m_look.shortcut);
        textArea.setRight(content.right() - width - minimumGap);
    }
    painter.setFont(font());
    painter.setPen(PopoverPalette::textPrimary());
    const QString title =
        QFontMetrics(font()).elidedText(m_look.title, Qt::ElideRight, textArea.width());
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);
}
