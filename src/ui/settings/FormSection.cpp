// SPDX-License-Identifier: MIT
#include "ui/settings/FormSection.h"

#include "ui/settings/FormLabels.h"

#include <QBoxLayout>
#include <QLabel>

FormSection::FormSection(const QString& title, QWidget* parent)
    : QWidget(parent)
    , m_title(new QLabel(title, this))
    , m_box(new QWidget(this))
    , m_rows(new QVBoxLayout(m_box))
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    column->addWidget(m_title);

    // The box is a shade off the window's background, as grouped forms draw it.
    m_box->setObjectName(QStringLiteral("formSectionBox"));
    QColor fill = palette().color(QPalette::Base);
    QColor border = palette().color(QPalette::Mid);
    m_box->setStyleSheet(
        QStringLiteral(
            "#formSectionBox { background: %1; border: 1px solid %2; border-radius: 8px; }")
            .arg(fill.name(), border.name()));
    m_rows->setContentsMargins(12, 10, 12, 10);
    m_rows->setSpacing(8);
    column->addWidget(m_box);
}

QString FormSection::title() const
{
    return m_title->text();
}

void FormSection::addRow(const QString& label, QWidget* field)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    row->addWidget(new QLabel(label, m_box), 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(field, 0, Qt::AlignVCenter);
    m_rows->addLayout(row);
}

void FormSection::addWidget(QWidget* widget)
{
    widget->setParent(m_box);
    m_rows->addWidget(widget);
}

void FormSection::setFooter(const QString& text)
{
    static_cast<QVBoxLayout*>(layout())->addWidget(
        FormLabels::caption(text, FormLabels::secondary(*this), this));
}
