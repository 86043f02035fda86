// SPDX-License-Identifier: MIT
#pragma once

#include <QLayout>

// Chips in a row that wraps: each chip keeps its ideal size, and a chip that no longer
// fits goes to the start of the next row, so a narrow panel gets a second row instead of
// chips pressed together or cut off. An optional trailing widget (the language menu, the
// token count) sits at the right end of the last row, or on a row of its own, right-aligned,
// when that row has no room left. Chips of a row are centred on the row's height.
class ChipFlow : public QLayout {
public:
    ChipFlow(QWidget* parent, int spacing);
    ~ChipFlow() override;

    void setTrailingWidget(QWidget* widget);

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Lays the items out in `rect` (only measures unless `apply`); returns the height used.
    int arrange(const QRect& rect, bool apply) const;

    QList<QLayoutItem*> m_items;
    QLayoutItem* m_trailing = nullptr;
};
