// SPDX-License-Identifier: MIT
#include "ui/tray/AboutWindow.h"

#include "ui/tray/TrayIcons.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// The secondary label colour: the text colour, faded.
QColor secondaryText(const QPalette& palette)
{
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(0.6f);
    return color;
}

} // namespace

AboutWindow::AboutWindow(const Content& content, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("About %1").arg(content.name));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(32, 24, 32, 24);
    column->setSpacing(6);

    auto* icon = new QLabel(this);
    icon->setPixmap(
        TrayIcons::pixmap(QStringLiteral("text.magnifyingglass"), 64, devicePixelRatioF()));
    column->addWidget(icon, 0, Qt::AlignHCenter);
    column->addSpacing(6);

    const auto addLabel = [&](const QString& text, int pointSizeDelta, bool bold, bool secondary) {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignHCenter);
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QFont font = QApplication::font();
        font.setPointSizeF(font.pointSizeF() + pointSizeDelta);
        font.setBold(bold);
        label->setFont(font);
        if (secondary) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, secondaryText(palette));
            label->setPalette(palette);
        }
        column->addWidget(label);
        m_labels.append(label);
    };
    addLabel(content.name, 4, true, false);
    addLabel(QStringLiteral("Version %1").arg(content.version), -1, false, false);
    column->addSpacing(6);
    addLabel(content.credits, -2, false, true);
    column->addSpacing(6);
    // An empty copyright keeps its line, so the window's shape does not depend on it.
    addLabel(content.copyright, -2, false, true);

    setFixedWidth(300);
    setFixedHeight(sizeHint().height());
}

QStringList AboutWindow::texts() const
{
    QStringList result;
    for (const QLabel* label : m_labels)
        result.append(label->text());
    return result;
}
