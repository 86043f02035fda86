// SPDX-License-Identifier: MIT
#include "onboarding/guide/KeyCaps.h"

#include <QPainter>

namespace {
constexpr int capHeight = 26;
constexpr int capPadding = 8;
constexpr int capSpacing = 4;
} // namespace

KeyCaps::KeyCaps(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void KeyCaps::setShortcut(const HotkeyShortcut& shortcut, KeyCharacters& layout)
{
    m_labels.clear();
    m_labels = HotkeyShortcut::modifierLabels(shortcut.carbonModifiers);
    m_labels.append(HotkeyShortcut::keyLabel(shortcut.keyCode, layout));
    setAccessibleName(shortcut.label(layout));
    updateGeometry();
    update();
}

QSize KeyCaps::capSize(const QString& label) const
{
    const int text = fontMetrics().horizontalAdvance(label);
    return {std::max(capHeight, text + 2 * capPadding), capHeight};
}

QSize KeyCaps::sizeHint() const
{
    int width = 0;
    for (const QString& label : m_labels)
        width += capSize(label).width() + capSpacing;
    return {std::max(0, width - capSpacing), capHeight + 2};
}

void KeyCaps::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor face = palette().color(QPalette::Button);
    const QColor edge = palette().color(QPalette::Mid);
    int x = 0;
    for (const QString& label : m_labels) {
        const QRectF cap(QPointF(x + 0.5, 0.5), QSizeF(capSize(label)) - QSizeF(1, 1));
        // A darker band under the cap gives it the depth of a key.
        painter.setPen(Qt::NoPen);
        painter.setBrush(edge);
        painter.drawRoundedRect(cap.translated(0, 2), 5, 5);
        painter.setPen(QPen(edge, 1));
        painter.setBrush(face);
        painter.drawRoundedRect(cap, 5, 5);
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(cap, Qt::AlignCenter, label);
        x += capSize(label).width() + capSpacing;
    }
}
