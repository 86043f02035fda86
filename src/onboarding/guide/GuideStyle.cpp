// SPDX-License-Identifier: MIT
#include "onboarding/guide/GuideStyle.h"

#include "ui/SymbolIcons.h"
#include "ui/settings/FormLabels.h"

// The guide's own drawings join the panel's under the same resource folder; naming the
// resource here keeps the linker from dropping it out of the static library.
static void registerGuideResources()
{
    Q_INIT_RESOURCE(guide_icons);
}

namespace GuideStyle {

QLabel* title(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    label->setFont(font);
    label->setWordWrap(true);
    return label;
}

QLabel* body(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QLabel* hint(const QString& text, QWidget* parent)
{
    return FormLabels::caption(text, FormLabels::secondary(*parent), parent);
}

QPushButton* link(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setFlat(true);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, palette.color(QPalette::Link));
    button->setPalette(palette);
    return button;
}

QPixmap symbol(const QString& name, int size, const QColor& color, const QWidget& widget)
{
    static const bool registered = [] {
        registerGuideResources();
        return true;
    }();
    Q_UNUSED(registered);
    return SymbolIcons::pixmap(name, size, color, widget.devicePixelRatioF());
}

} // namespace GuideStyle
