// SPDX-License-Identifier: MIT
#include "ui/PopoverView.h"

#include "core/Callback.h"
#include "core/PopoverModel.h"
#include "settings/Preferences.h"
#include "ui/ActionBar.h"
#include "ui/ErrorPane.h"
#include "ui/NoticePane.h"
#include "ui/PopoverEditor.h"
#include "ui/PopoverLabel.h"
#include "ui/PopoverPalette.h"
#include "ui/PopoverSizes.h"
#include "ui/PopoverTexts.h"
#include "ui/ProgressLine.h"
#include "ui/ResultBar.h"

#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

constexpr qreal radius = 12;
constexpr qreal loadingEditorOpacity = 0.55;

} // namespace

PopoverView::PopoverView(PopoverModel& model, Preferences& preferences, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_preferences(preferences)
    , m_config(PopoverViewConfig::fromPreferences(preferences))
    , m_layout(new QVBoxLayout(this))
    , m_editor(new PopoverEditor(this))
{
    const int padding = PopoverSizes::outerPadding;
    m_layout->setContentsMargins(padding, padding, padding, padding);
    m_layout->setSpacing(PopoverSizes::itemSpacing);
    m_layout->addWidget(m_editor);
    // A window taller than the content (before the first size report) keeps the content
    // at the top.
    m_layout->addStretch(1);

    connect(m_editor, &PopoverEditor::textEdited, this, [this](const QString& text) {
        if (m_binding == EditorBinding::original)
            m_model.setEditableOriginal(text);
        else if (m_binding == EditorBinding::result)
            m_model.setEditableResult(text);
    });
    connect(m_editor, &PopoverEditor::heightChanged, this, &PopoverView::scheduleMeasurement);
    connect(m_editor, &PopoverEditor::pressed, this, &PopoverView::editorPressed);
    connect(&m_model, &PopoverModel::editableOriginalChanged, this, [this] {
        if (m_binding == EditorBinding::original)
            m_editor->setText(m_model.editableOriginal());
    });
    connect(&m_model, &PopoverModel::editableResultChanged, this, [this] {
        if (m_binding == EditorBinding::result)
            m_editor->setText(m_model.editableResult());
    });
    connect(&m_model, &PopoverModel::stateChanged, this, &PopoverView::rebuild);
    connect(&m_model, &PopoverModel::lastUsageChanged, this, &PopoverView::rebuild);
    connect(&m_model, &PopoverModel::copyConfirmedChanged, this, &PopoverView::rebuild);
    connect(&m_model, &PopoverModel::targetLanguageChanged, this, [this] {
        // The language chosen in the panel is the next capture's language too.
        const QString id = m_model.targetLanguage().id;
        if (m_preferences.targetLanguageID() != id)
            m_preferences.setTargetLanguageID(id);
        rebuild();
    });
    rebuild();
}

void PopoverView::refresh()
{
    const PopoverViewConfig config = PopoverViewConfig::fromPreferences(m_preferences);
    if (config == m_config)
        return;
    m_config = config;
    rebuild();
}

void PopoverView::rebuild()
{
    setFixedWidth(m_config.width);
    const int innerWidth = m_config.width - 2 * PopoverSizes::outerPadding;
    m_editor->configure(m_config.editorFontSize, m_config.editorMinimumHeight, innerWidth);

    switch (m_model.state().kind()) {
    case PopoverState::Kind::ready:
    case PopoverState::Kind::loading:
        bindEditor(EditorBinding::original);
        break;
    case PopoverState::Kind::result:
        bindEditor(EditorBinding::result);
        break;
    default:
        bindEditor(EditorBinding::none);
        break;
    }
    const bool loading = m_model.state().is(PopoverState::Kind::loading);
    m_editor->setEditable(!loading);
    if (loading) {
        auto* dimming = new QGraphicsOpacityEffect(m_editor);
        dimming->setOpacity(loadingEditorOpacity);
        m_editor->setGraphicsEffect(dimming);
    } else {
        m_editor->setGraphicsEffect(nullptr);
    }

    // The old controls may be running the click that led here, so they leave later.
    if (m_content) {
        m_layout->removeWidget(m_content);
        m_content->hide();
        m_content->deleteLater();
    }
    m_content = makeContent();
    m_layout->insertWidget(1, m_content);
    // Shown now rather than when the event loop gets to it: a layout leaves hidden widgets
    // out, and the size measured next must include the new controls.
    m_content->show();
    scheduleMeasurement();
}

QWidget* PopoverView::makeContent()
{
    QWidget* controls = makeControls();
    const std::optional<QString> hint = keyHint();
    if (!hint)
        return controls;
    auto* content = new QWidget(this);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(PopoverSizes::itemSpacing);
    controls->setParent(content);
    column->addWidget(controls);
    QLabel* label = popoverLabel(*hint, 10, PopoverPalette::textTertiary(), content, true);
    label->setContentsMargins(2, 0, 2, 0);
    column->addWidget(label);
    return content;
}

std::optional<QString> PopoverView::keyHint() const
{
    // The list's rows show their keys themselves.
    const bool chips = m_config.layout == PopoverLayout::chips;
    switch (m_model.state().kind()) {
    case PopoverState::Kind::ready:
        if (!chips || m_config.activeActions.isEmpty())
            return std::nullopt;
        return PopoverTexts::keyHint(int(m_config.activeActions.size()), true);
    case PopoverState::Kind::result:
        if (!chips)
            return std::nullopt;
        return PopoverTexts::keyHint(3, false);
    case PopoverState::Kind::error:
        return PopoverTexts::keyHint(int(m_model.errorButtons().size()), false);
    case PopoverState::Kind::needsService:
        return PopoverTexts::keyHint(1, false);
    case PopoverState::Kind::loading:
    case PopoverState::Kind::needsPermission:
    case PopoverState::Kind::noSelection:
        break;
    }
    return std::nullopt;
}

QWidget* PopoverView::makeControls()
{
    const PopoverState& state = m_model.state();
    switch (state.kind()) {
    case PopoverState::Kind::ready:
        return new ActionBar(m_model, m_config, m_preferences, this);
    case PopoverState::Kind::loading:
        return new ProgressLine(
            PopoverTexts::progressLabel(*state.action(), m_model.targetLanguage()), this);
    case PopoverState::Kind::result:
        return new ResultBar(m_model, m_config.layout, this);
    case PopoverState::Kind::error:
        return new ErrorPane(m_model, this);
    case PopoverState::Kind::needsPermission:
        return new NoticePane(PopoverTexts::permissionNotice(), m_model.onOpenAccessibilitySettings,
                              this);
    case PopoverState::Kind::needsService:
        return new NoticePane(PopoverTexts::serviceNotice(), m_model.onOpenSettings, this);
    case PopoverState::Kind::noSelection:
        break;
    }
    QLabel* hint =
        popoverLabel(PopoverTexts::noSelectionHint(), 13, PopoverPalette::textSecondary(), this);
    hint->setContentsMargins(4, 4, 4, 4);
    return hint;
}

void PopoverView::bindEditor(EditorBinding binding)
{
    m_binding = binding;
    m_editor->setVisible(binding != EditorBinding::none);
    if (binding == EditorBinding::original)
        m_editor->setText(m_model.editableOriginal());
    else if (binding == EditorBinding::result)
        m_editor->setText(m_model.editableResult());
}

QSize PopoverView::measuredSize() const
{
    const int width = m_config.width;
    const int height = m_layout->hasHeightForWidth() ? m_layout->totalHeightForWidth(width)
                                                     : m_layout->totalSizeHint().height();
    return {width, height};
}

void PopoverView::scheduleMeasurement()
{
    // Several changes in one go (a new state with a new text) give one report.
    if (m_measurementPending)
        return;
    m_measurementPending = true;
    QMetaObject::invokeMethod(this, &PopoverView::reportSize, Qt::QueuedConnection);
}

void PopoverView::reportSize()
{
    m_measurementPending = false;
    const QSize size = measuredSize();
    if (m_reportedSize == size)
        return;
    m_reportedSize = size;
    invokeIfSet(m_model.onContentSizeChange, QSizeF(size));
}

bool PopoverView::event(QEvent* event)
{
    // Any change of a control's size (a wrapped label, a chip row that wraps) reaches the
    // layout this way.
    if (event->type() == QEvent::LayoutRequest)
        scheduleMeasurement();
    return QWidget::event(event);
}

void PopoverView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), radius, radius);
    painter.fillPath(shape, PopoverPalette::material());
    painter.setOpacity(PopoverPalette::panelFillOpacity);
    painter.fillPath(shape, PopoverPalette::panel());
    painter.setOpacity(1);
    painter.setPen(QPen(PopoverPalette::panelBorder(), 1));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5,
                            radius - 0.5);
}
