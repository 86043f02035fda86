// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QMargins>
#include <QToolButton>

// A borderless button that opens its menu on press: an icon, optionally followed by a
// short text, with no menu arrow. The chevrons of the split controls and the language
// menu are made of it. The whole padded rectangle is clickable.
class MenuButton : public QToolButton {
    Q_OBJECT

public:
    struct Look {
        QString icon;
        int iconSize = 9;
        QString text; // may be empty
        int textSize = 11;
        QFont::Weight weight = QFont::Normal;
        QColor color;
        QMargins padding;
    };

    explicit MenuButton(Look look, QWidget* parent = nullptr);

    const Look& look() const { return m_look; }
    void setLook(Look look);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Look m_look;
};
