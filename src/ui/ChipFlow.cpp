// SPDX-License-Identifier: MIT
#include "ui/ChipFlow.h"

#include <QWidget>

ChipFlow::ChipFlow(QWidget* parent, int spacing)
    : QLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(spacing);
}

ChipFlow::~ChipFlow()
{
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void ChipFlow::setTrailingWidget(QWidget* widget)
{
    addChildWidget(widget);
    delete m_trailing;
    m_trailing = new QWidgetItem(widget);
    invalidate();
}

void ChipFlow::addItem(QLayoutItem* item)
{
    m_items.append(item);
    invalidate();
}

int ChipFlow::count() const
{
    return int(m_items.size()) + (m_trailing ? 1 : 0);
}

QLayoutItem* ChipFlow::itemAt(int index) const
{
    if (index == m_items.size())
        return m_trailing;
    return m_items.value(index);
}

QLayoutItem* ChipFlow::takeAt(int index)
{
    QLayoutItem* item = nullptr;
    if (index >= 0 && index < m_items.size())
        item = m_items.takeAt(index);
    else if (index == m_items.size())
        std::swap(item, m_trailing);
    if (item)
        invalidate();
    return item;
}

int ChipFlow::heightForWidth(int width) const
{
    return arrange(QRect(0, 0, width, 0), false);
}

QSize ChipFlow::sizeHint() const
{
    // Everything on one row.
    int width = 0;
    int height = 0;
    for (int index = 0; index < count(); ++index) {
        const QSize size = itemAt(index)->sizeHint();
        width += (width > 0 ? spacing() : 0) + size.width();
        height = std::max(height, size.height());
    }
    const QMargins margins = contentsMargins();
    return QSize(width, height).grownBy(margins);
}

QSize ChipFlow::minimumSize() const
{
    // One chip a row.
    QSize size;
    for (int index = 0; index < count(); ++index)
        size = size.expandedTo(itemAt(index)->sizeHint());
    return size.grownBy(contentsMargins());
}

void ChipFlow::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int ChipFlow::arrange(const QRect& rect, bool apply) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    // The rows as runs of items; the trailing item is placed after them.
    QList<QList<QLayoutItem*>> rows{{}};
    int x = 0;
    for (QLayoutItem* item : m_items) {
        if (item->isEmpty())
            continue;
        const int width = item->sizeHint().width();
        if (!rows.last().isEmpty() && x + spacing() + width > area.width()) {
            rows.emplace_back();
            x = 0;
        }
        x += (rows.last().isEmpty() ? 0 : spacing()) + width;
        rows.last().append(item);
    }
    const bool trailingShown = m_trailing && !m_trailing->isEmpty();
    const bool trailingOwnRow = trailingShown && !rows.last().isEmpty() &&
                                x + spacing() + m_trailing->sizeHint().width() > area.width();
    if (trailingOwnRow)
        rows.emplace_back();

    int y = area.top();
    for (int row = 0; row < rows.size(); ++row) {
        const bool last = row == rows.size() - 1;
        int height = 0;
        for (QLayoutItem* item : rows[row])
            height = std::max(height, item->sizeHint().height());
        if (last && trailingShown)
            height = std::max(height, m_trailing->sizeHint().height());
        if (height == 0)
            continue;
        if (apply) {
            int left = area.left();
            const auto place = [&](QLayoutItem* item, int itemX) {
                const QSize size = item->sizeHint();
                item->setGeometry(QRect(QPoint(itemX, y + (height - size.height()) / 2), size));
            };
            for (QLayoutItem* item : rows[row]) {
                place(item, left);
                left += item->sizeHint().width() + spacing();
            }
            if (last && trailingShown)
                place(m_trailing, area.right() + 1 - m_trailing->sizeHint().width());
        }
        y += height + spacing();
    }
    return std::max(0, y - spacing() - area.top()) + contentsMargins().top() +
           contentsMargins().bottom();
}
