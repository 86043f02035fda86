// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <functional>

// The floating panel's window: frameless, above other windows, kept out of the task bar,
// translucent around its rounded content, and shown without taking the keyboard from
// the application whose text was selected. It asks for the keyboard only when the user
// presses into its editor. Its size and place are set by the controller alone.
class PopoverPanel : public QWidget {
    Q_OBJECT

public:
    PopoverPanel();

    // The widget that fills the panel; the panel takes it over.
    void setContent(QWidget* view);

    void resizeTo(QSizeF size);
    void moveTo(QPointF topLeft);
    // Shows the panel without activating it, above other windows.
    void showWithoutActivating();
    // Lets the panel take the keyboard, for typing into its editor.
    void activate();

    // Escape pressed while the panel has the keyboard.
    std::function<void()> onCancel;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void setAcceptsFocus(bool accepts);

    QWidget* m_contentView = nullptr;
};
