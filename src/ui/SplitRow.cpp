// SPDX-License-Identifier: MIT
#include "ui/SplitRow.h"

#include "ui/MenuButton.h"
#include "ui/PopoverPalette.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

SplitRow::SplitRow(ActionRow::Look look, QMenu* menu, QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    look.menuGutter = false;
    m_primary = new ActionRow(std::move(look), this);
    m_primary->setBackgroundVisible(false);
    connect(m_primary, &ActionRow::clicked, this, &SplitRow::clicked);

    m_menuButton = new MenuButton({QStringLiteral("chevron.down"),
                                   9,
                                   {},
                                   11,
                                   QFont::DemiBold,
                                   PopoverPalette::textSecondary(),
                                   QMargins(3, 9, 10, 9)},
                                  this);
    menu->setParent(m_menuButton, menu->windowFlags());
    m_menuButton->setMenu(menu);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_primary);
    layout->addWidget(m_menuButton);
}

void SplitRow::paintEvent(QPaintEvent*)
{
    if (!underMouse())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 6, 6);
    painter.fillPath(shape, PopoverPalette::chipHover());
}
