// SPDX-License-Identifier: MIT
#include "ui/SplitChip.h"

#include "ui/MenuButton.h"
#include "ui/PopoverPalette.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal radius = 7;

QColor foregroundFor(ChipTone tone)
{
    return tone == ChipTone::accent ? PopoverPalette::onAccent() : PopoverPalette::chipText();
}

// The one-pixel line between the two parts.
class Divider : public QWidget {
public:
    Divider(QColor color, QWidget* parent)
        : QWidget(parent)
        , m_color(std::move(color))
    {
        setFixedSize(1, 14);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QColor color = m_color;
        color.setAlphaF(0.25f);
        painter.fillRect(rect(), color);
    }

private:
    QColor m_color;
};

} // namespace

SplitChip::SplitChip(const QString& icon, const QString& title, ChipTone tone, QMenu* menu,
                     QWidget* parent)
    : QWidget(parent)
    , m_tone(tone)
{
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    m_primary = new ChipButton(icon, title, tone, this);
    m_primary->setBackgroundVisible(false);
    m_primary->setPadding(QMargins(10, 6, 8, 6));
    connect(m_primary, &ChipButton::clicked, this, &SplitChip::clicked);

    const QColor foreground = foregroundFor(tone);
    m_menuButton = new MenuButton({QStringLiteral("chevron.down"),
                                   9,
                                   {},
                                   11,
                                   QFont::DemiBold,
                                   foreground,
                                   QMargins(7, 8, 7, 8)},
                                  this);
    menu->setParent(m_menuButton, menu->windowFlags());
    m_menuButton->setMenu(menu);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_primary);
    layout->addWidget(new Divider(foreground, this));
    layout->addWidget(m_menuButton);
}

void SplitChip::paintEvent(QPaintEvent*)
{
    const bool accent = m_tone == ChipTone::accent;
    const bool hovered = underMouse();
    QColor fill = accent ? (hovered ? PopoverPalette::accentHover() : PopoverPalette::accent())
                         : (hovered ? PopoverPalette::chipHover() : PopoverPalette::chip());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), radius, radius);
    painter.fillPath(shape, fill);
}
