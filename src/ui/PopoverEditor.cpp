// SPDX-License-Identifier: MIT
#include "ui/PopoverEditor.h"

#include "ui/PopoverFont.h"
#include "ui/PopoverPalette.h"
#include "ui/PopoverSizes.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <memory>

namespace {

// The text sits 11 pixels from the field's sides and 10 from its top and bottom: the
// text view is inset by these margins and the document adds its own.
const QMargins viewInsets(5, 4, 5, 4);
constexpr int documentMargin = 6;
constexpr qreal lineSpacing = 2;
constexpr qreal radius = 8;

} // namespace

PopoverEditor::PopoverEditor(QWidget* parent)
    : QWidget(parent)
    , m_edit(new QTextEdit(this))
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    m_edit->setAcceptRichText(false);
    m_edit->setFrameShape(QFrame::NoFrame);
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_edit->setLineWrapMode(QTextEdit::WidgetWidth);
    m_edit->document()->setDocumentMargin(documentMargin);
    m_edit->viewport()->setAutoFillBackground(false);
    m_edit->setAutoFillBackground(false);
    m_edit->viewport()->installEventFilter(this);

    QPalette palette = m_edit->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, Qt::transparent);
        palette.setColor(group, QPalette::Text, PopoverPalette::textPrimary());
        palette.setColor(group, QPalette::Highlight, PopoverPalette::accent());
        palette.setColor(group, QPalette::HighlightedText, PopoverPalette::onAccent());
    }
    m_edit->setPalette(palette);
    m_edit->verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { width: 6px; background: transparent; margin: 2px 0; }"
        "QScrollBar::handle:vertical { background: rgba(255, 255, 255, 60); border-radius: 3px;"
        " min-height: 20px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));

    connect(m_edit, &QTextEdit::textChanged, this, [this] {
        applyLineSpacing();
        updateHeight();
        if (!m_settingText)
            emit textEdited(text());
    });
}

void PopoverEditor::configure(int fontSize, int minimumHeight, int width)
{
    m_edit->setFont(popoverFont(fontSize));
    m_edit->document()->setDefaultFont(popoverFont(fontSize));
    m_minimumHeight = minimumHeight;
    m_width = width;
    updateHeight();
}

QString PopoverEditor::text() const
{
    return m_edit->toPlainText();
}

void PopoverEditor::setText(const QString& text)
{
    if (text == this->text())
        return;
    m_settingText = true;
    m_edit->setPlainText(text);
    m_settingText = false;
}

void PopoverEditor::setEditable(bool editable)
{
    m_edit->setEnabled(editable);
}

void PopoverEditor::applyLineSpacing()
{
    // Every block gets the spacing, also those the user has just typed or pasted. Only
    // blocks without it are touched, so this ends the recursion of textChanged.
    QTextDocument* document = m_edit->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().lineHeightType() == QTextBlockFormat::LineDistanceHeight)
            continue;
        QTextBlockFormat format = block.blockFormat();
        format.setLineHeight(lineSpacing, QTextBlockFormat::LineDistanceHeight);
        // Joined to the edit that made the block, so one undo takes both away.
        QTextCursor cursor(block);
        cursor.joinPreviousEditBlock();
        cursor.setBlockFormat(format);
        cursor.endEditBlock();
    }
}

int PopoverEditor::contentHeight() const
{
    // Measured on a copy laid out at the width the text will have, so the answer does not
    // wait for the widget to be shown or laid out. An empty text measures as one line.
    std::unique_ptr<QTextDocument> copy(m_edit->document()->clone());
    if (copy->isEmpty())
        copy->setPlainText(QStringLiteral(" "));
    copy->setTextWidth(std::max(1, m_width - viewInsets.left() - viewInsets.right()));
    return int(std::ceil(copy->size().height())) + viewInsets.top() + viewInsets.bottom();
}

void PopoverEditor::updateHeight()
{
    const int height =
        std::clamp(contentHeight(), m_minimumHeight, PopoverSizes::editorMaximumHeight);
    if (size() == QSize(m_width, height))
        return;
    setFixedSize(m_width, height);
    emit heightChanged();
}

bool PopoverEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit->viewport() && event->type() == QEvent::MouseButtonPress)
        emit pressed();
    return QWidget::eventFilter(watched, event);
}

void PopoverEditor::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), radius, radius);
    painter.fillPath(shape, PopoverPalette::field());
    // An inner stroke: the line's outer edge lies on the shape's edge.
    painter.setPen(QPen(PopoverPalette::fieldBorder(), 1));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5,
                            radius - 0.5);
}

void PopoverEditor::resizeEvent(QResizeEvent*)
{
    m_edit->setGeometry(rect().marginsRemoved(viewInsets));
}
