// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>

// A full-width row of the list layout: icon, title and, at the right, the key that runs
// it. The accented row (⌥1) has a coloured icon and a heavier title. Rows of a list
// that also holds a split row keep a gutter on the right, so every title and shortcut
// lines up with the split row's menu.
class ActionRow : public QAbstractButton {
    Q_OBJECT

public:
    struct Look {
        QString icon;
        QString title;
        QString shortcut; // may be empty
        bool accent = false;
        bool menuGutter = false;
    };

    explicit ActionRow(Look look, QWidget* parent = nullptr);

    const Look& look() const { return m_look; }
    // Inside a split row the container draws the highlight.
    void setBackgroundVisible(bool visible);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Look m_look;
    bool m_backgroundVisible = true;
};
