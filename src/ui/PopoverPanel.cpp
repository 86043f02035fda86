// SPDX-License-Identifier: MIT
#include "ui/PopoverPanel.h"

#include "core/Callback.h"
#include "ui/PanelGeometry.h"

#include <QKeyEvent>
#include <QWindow>
#include <cmath>

PopoverPanel::PopoverPanel()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(QStringLiteral("Quillmark"));
    setGeometry(QRect(QPoint(0, 0), PanelGeometry::initialPanelSize.toSize()));
}

void PopoverPanel::setContent(QWidget* view)
{
    m_contentView = view;
    view->setParent(this);
    view->setGeometry(rect());
}

void PopoverPanel::resizeTo(QSizeF size)
{
    resize(int(std::ceil(size.width())), int(std::ceil(size.height())));
}

void PopoverPanel::moveTo(QPointF topLeft)
{
    move(int(std::lround(topLeft.x())), int(std::lround(topLeft.y())));
}

void PopoverPanel::showWithoutActivating()
{
    // The window refuses focus while it is merely shown, so no window manager hands it
    // the keyboard; the user's application stays active.
    setAcceptsFocus(false);
    if (isVisible()) {
        raise();
        return;
    }
    // A window that is mapped afresh goes on top of its layer anyway.
    show();
}

void PopoverPanel::activate()
{
    if (isActiveWindow())
        return;
    setAcceptsFocus(true);
    activateWindow();
}

void PopoverPanel::setAcceptsFocus(bool accepts)
{
    // Changed on the native window: changing the widget's flags would hide and re-create
    // the window.
    winId();
    windowHandle()->setFlag(Qt::WindowDoesNotAcceptFocus, !accepts);
}

void PopoverPanel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        invokeIfSet(onCancel);
        return;
    }
    QWidget::keyPressEvent(event);
}

void PopoverPanel::mousePressEvent(QMouseEvent* event)
{
    // A press on the background (not on a control) drags the panel.
    if (event->button() == Qt::LeftButton && windowHandle()) {
        windowHandle()->startSystemMove();
        return;
    }
    QWidget::mousePressEvent(event);
}

void PopoverPanel::resizeEvent(QResizeEvent*)
{
    if (m_contentView)
        m_contentView->setGeometry(rect());
}
