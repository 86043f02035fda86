// SPDX-License-Identifier: MIT
#include "ui/recorder/ShortcutRecorderView.h"

#include "core/Callback.h"
#include "ui/recorder/RecorderKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr uint32_t escapeKey = 53;
constexpr uint32_t backspaceKey = 51;
constexpr uint32_t deleteKey = 117;
} // namespace

ShortcutRecorderView::ShortcutRecorderView(KeyCharacters& layout, QWidget* parent)
    : QAbstractButton(parent)
    , m_layout(layout)
{
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(fieldSize);
    setAccessibleName(QStringLiteral("Keyboard shortcut"));
    // Space and the accessibility "press" action come through here; the mouse goes
    // through mousePressEvent, which reacts on the press as a shortcut field should.
    connect(this, &QAbstractButton::clicked, this, &ShortcutRecorderView::toggleRecording);
    auto* reset = new QAction(QStringLiteral("Reset to default"), this);
    connect(reset, &QAction::triggered, this, &ShortcutRecorderView::resetToDefault);
    addAction(reset);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    refresh();
}

ShortcutRecorderView::~ShortcutRecorderView()
{
    if (m_keyMonitorInstalled)
        qApp->removeEventFilter(this);
}

void ShortcutRecorderView::setShortcut(const HotkeyShortcut& shortcut)
{
    m_shortcut = shortcut;
    refresh();
}

QString ShortcutRecorderView::displayTitle() const
{
    if (!m_isRecording)
        return m_shortcut.label(m_layout);
    if (m_liveModifiers == 0)
        return QStringLiteral("Press keys…");
    return HotkeyShortcut::modifierLabels(m_liveModifiers).join(u'+') + QStringLiteral("+…");
}

void ShortcutRecorderView::resetToDefault()
{
    if (m_isRecording) {
        capture(HotkeyShortcut::defaultShortcut());
        return;
    }
    const RecordCallback record = onRecord;
    if (record)
        (void)record(HotkeyShortcut::defaultShortcut());
}

void ShortcutRecorderView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor fill = palette().color(QPalette::Base);
    if (m_isRecording) {
        fill = palette().color(QPalette::Highlight);
        fill.setAlphaF(0.12f);
    }
    painter.setPen(QPen(palette().color(hasFocus() ? QPalette::Highlight : QPalette::Mid), 1.0));
    painter.setBrush(fill);
    painter.drawRoundedRect(bounds, 5, 5);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(rect(), Qt::AlignCenter, displayTitle());
}

void ShortcutRecorderView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    toggleRecording();
}

void ShortcutRecorderView::mouseReleaseEvent(QMouseEvent* event)
{
    // The press did the work; the button's own click-on-release would undo it.
    event->accept();
}

void ShortcutRecorderView::focusOutEvent(QFocusEvent* event)
{
    endRecording();
    QAbstractButton::focusOutEvent(event);
}

void ShortcutRecorderView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        endRecording();
    QAbstractButton::changeEvent(event);
}

void ShortcutRecorderView::hideEvent(QHideEvent* event)
{
    endRecording();
    QAbstractButton::hideEvent(event);
}

bool ShortcutRecorderView::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_isRecording)
        return QAbstractButton::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Claiming the key keeps window shortcuts (a default button, a menu's accelerator)
        // from taking it, so it arrives as a key press below.
        event->accept();
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (RecorderKeys::flagOfModifierKey(key->key())) {
            const uint64_t flags = RecorderKeys::modifierFlagsAfter(*key);
            setLiveModifiers(HotkeyShortcut::fromEvent(0, flags).carbonModifiers);
            return false;
        }
        if (event->type() == QEvent::KeyRelease)
            return false;
        // A held key repeats; one refusal per press is enough.
        if (key->isAutoRepeat())
            return true;
        const std::optional<uint32_t> virtualKey = RecorderKeys::virtualKey(*key);
        if (virtualKey)
            capture(HotkeyShortcut::fromEvent(*virtualKey,
                                              RecorderKeys::modifierFlags(key->modifiers())));
        return true;
    }
    default:
        return QAbstractButton::eventFilter(watched, event);
    }
}

void ShortcutRecorderView::toggleRecording()
{
    if (m_isRecording)
        endRecording();
    else
        beginRecording();
}

void ShortcutRecorderView::beginRecording()
{
    if (m_isRecording)
        return;
    m_isRecording = true;
    m_liveModifiers = 0;
    refresh();
    notifyRecordingChange(true);
    // The host may have ended the recording from its callback (by hiding the field).
    if (!m_isRecording)
        return;
    qApp->installEventFilter(this);
    m_keyMonitorInstalled = true;
}

void ShortcutRecorderView::endRecording()
{
    if (!m_isRecording)
        return;
    m_isRecording = false;
    m_liveModifiers = 0;
    refresh();
    if (m_keyMonitorInstalled) {
        qApp->removeEventFilter(this);
        m_keyMonitorInstalled = false;
    }
    notifyRecordingChange(false);
}

void ShortcutRecorderView::capture(const HotkeyShortcut& recorded)
{
    if (recorded.carbonModifiers == 0 && recorded.keyCode == escapeKey) {
        endRecording();
        return;
    }
    if (recorded.carbonModifiers == 0 &&
        (recorded.keyCode == backspaceKey || recorded.keyCode == deleteKey)) {
        capture(HotkeyShortcut::defaultShortcut());
        return;
    }
    // A host may hand the field new callbacks from inside this one, so the one called is
    // a copy.
    const RecordCallback record = onRecord;
    if (!record || !record(recorded)) {
        endRecording();
        return;
    }
    // Refused: the host shows why; the user can try another combination at once.
    setLiveModifiers(0);
}

void ShortcutRecorderView::notifyRecordingChange(bool isRecording)
{
    const std::function<void(bool)> callback = onRecordingChange;
    invokeIfSet(callback, isRecording);
}

void ShortcutRecorderView::setLiveModifiers(uint32_t mask)
{
    if (mask == m_liveModifiers)
        return;
    m_liveModifiers = mask;
    refresh();
}

void ShortcutRecorderView::refresh()
{
    setAccessibleDescription(displayTitle());
    update();
}
