// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;
class QVBoxLayout;

// One group of a settings form: a title above a rounded box of rows, and an optional
// footer caption below it.
class FormSection : public QWidget {
    Q_OBJECT

public:
    explicit FormSection(const QString& title, QWidget* parent = nullptr);

    QString title() const;

    // A row with a label on the left and the control on the right.
    void addRow(const QString& label, QWidget* field);
    // A row of its own: a toggle, a caption, a line of controls.
    void addWidget(QWidget* widget);
    void setFooter(const QString& text);

private:
    QLabel* m_title;
    QWidget* m_box;
    QVBoxLayout* m_rows;
};
