// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QVariantAnimation>
#include <QWidget>

// A small indeterminate progress indicator: an arc turning for as long as it is visible.
class ProgressSpinner : public QWidget {
    Q_OBJECT

public:
    explicit ProgressSpinner(QColor color, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QColor m_color;
    QVariantAnimation m_rotation;
};
