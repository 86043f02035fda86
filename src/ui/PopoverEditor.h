// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QTextEdit;

// The text the user works on: a multi-line plain-text editor on a dark rounded field.
// Its height follows the text, from a minimum chosen in the preferences up to a maximum,
// beyond which the text scrolls inside it. The height is worked out from the text itself,
// not from the laid-out widget, so it is known before the panel is on screen.
class PopoverEditor : public QWidget {
    Q_OBJECT

public:
    explicit PopoverEditor(QWidget* parent = nullptr);

    // Sets the font size, the minimum height and the width the editor will have.
    void configure(int fontSize, int minimumHeight, int width);

    QString text() const;
    // Replaces the text unless it is already the same, so the cursor survives a model
    // change that only echoes the user's own typing.
    void setText(const QString& text);
    void setEditable(bool editable);

    QTextEdit& textEdit() const { return *m_edit; }

signals:
    void textEdited(const QString& text);
    // The user pressed a mouse button in the text: the panel should take the keyboard.
    void pressed();
    void heightChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyLineSpacing();
    void updateHeight();
    int contentHeight() const;

    QTextEdit* m_edit;
    int m_minimumHeight = 88;
    int m_width = 0;
    bool m_settingText = false;
};
