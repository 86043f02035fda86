// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>
#include <QMargins>

// Plain chips are the panel's ordinary buttons; the accent chip marks the one the user
// most likely wants (⌥1).
enum class ChipTone { plain, accent };

// A pill-shaped button: a small icon and a one-line title on a rounded fill that lightens
// under the pointer and shrinks a little while pressed. Always at its ideal size.
class ChipButton : public QAbstractButton {
    Q_OBJECT

public:
    ChipButton(QString icon, const QString& title, ChipTone tone, QWidget* parent = nullptr);

    const QString& iconName() const { return m_icon; }
    ChipTone tone() const { return m_tone; }

    // Inside a split control the container draws the fill, so the button draws none.
    void setBackgroundVisible(bool visible);
    void setPadding(QMargins padding);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_icon;
    ChipTone m_tone;
    bool m_backgroundVisible = true;
    QMargins m_padding{10, 6, 10, 6};
};
