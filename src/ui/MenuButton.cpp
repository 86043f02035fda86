// SPDX-License-Identifier: MIT
#include "ui/MenuButton.h"

#include "ui/PopoverFont.h"
#include "ui/SymbolIcons.h"

#include <QPainter>

namespace {

constexpr int spacing = 4;

} // namespace

MenuButton::MenuButton(Look look, QWidget* parent)
    : QToolButton(parent)
    , m_look(std::move(look))
{
    setPopupMode(QToolButton::InstantPopup);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFont(popoverFont(m_look.textSize, m_look.weight));
}

void MenuButton::setLook(Look look)
{
    m_look = std::move(look);
    setFont(popoverFont(m_look.textSize, m_look.weight));
    updateGeometry();
    update();
}

QSize MenuButton::sizeHint() const
{
    int width = m_look.iconSize;
    int height = m_look.iconSize;
    if (!m_look.text.isEmpty()) {
        const QFontMetrics metrics(font());
        width += spacing + metrics.horizontalAdvance(m_look.text);
        height = std::max(height, metrics.height());
    }
    return {width + m_look.padding.left() + m_look.padding.right(),
            height + m_look.padding.top() + m_look.padding.bottom()};
}

void MenuButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect content = rect().marginsRemoved(m_look.padding);
    int x = content.left();
    painter.drawPixmap(
        x, content.top() + (content.height() - m_look.iconSize) / 2,
        SymbolIcons::pixmap(m_look.icon, m_look.iconSize, m_look.color, devicePixelRatioF()));
    if (m_look.text.isEmpty())
        return;
    x += m_look.iconSize + spacing;
    painter.setFont(font());
    painter.setPen(m_look.color);
    painter.drawText(QRect(x, content.top(), content.right() - x + 1, content.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_look.text);
}
