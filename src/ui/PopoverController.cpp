// SPDX-License-Identifier: MIT
#include "ui/PopoverController.h"

#include "core/Callback.h"
#include "core/Log.h"
#include "settings/Preferences.h"
#include "ui/PopoverPanel.h"
#include "ui/PopoverView.h"
#include "ui/QtDesktopGeometry.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

namespace {

void assertMainThread()
{
    Q_ASSERT(QThread::currentThread() == QCoreApplication::instance()->thread());
}

// The compositors answer within a few tens of milliseconds.
constexpr std::chrono::milliseconds pointerBound{250};

QString truncated(qreal value)
{
    return QString::number(qint64(value));
}

} // namespace

PopoverController::PopoverController(std::unique_ptr<OutsideClickWatcher> clickWatcher,
                                     Preferences& preferences,
                                     std::unique_ptr<DesktopGeometry> desktop,
                                     PointerLocator* pointer)
    : m_preferences(preferences)
    , m_clickWatcher(std::move(clickWatcher))
    , m_desktop(desktop ? std::move(desktop) : std::make_unique<QtDesktopGeometry>())
    , m_panel(std::make_unique<PopoverPanel>())
    , m_view(new PopoverView(m_model, preferences))
    , m_pointer(pointer)
{
    m_panel->setContent(m_view);
    connect(m_view, &PopoverView::editorPressed, m_panel.get(), &PopoverPanel::activate);

    const QPointer<PopoverController> self(this);
    m_panel->onCancel = [self] {
        if (self)
            self->dismiss(QStringLiteral("esc"));
    };
    m_model.onDismiss = [self] {
        if (self)
            self->dismiss(QStringLiteral("button"));
    };
    m_model.onContentSizeChange = [self](QSizeF size) {
        if (self)
            self->contentSizeChanged(size);
    };
}

PopoverController::~PopoverController()
{
    removeClickOutsideMonitor();
}

bool PopoverController::isPanelVisible() const
{
    return m_panel->isVisible() || m_showWhenAnswered;
}

void PopoverController::locatePointer()
{
    if (m_pointer && !m_asking)
        askForPointer();
}

QCoro::Task<> PopoverController::askForPointer()
{
    m_asking = true;
    m_answer.reset();
    const QPointer<PopoverController> self(this);
    const std::optional<QPoint> point = co_await m_pointer->locate(pointerBound);
    if (!self)
        co_return;
    m_asking = false;
    m_answer = point;
    if (m_showWhenAnswered) {
        m_showWhenAnswered = false;
        show(std::nullopt);
    }
}

void PopoverController::show(std::optional<QPoint> at)
{
    assertMainThread();
    if (at || !m_pointer) {
        m_showWhenAnswered = false;
        showAt(at ? *at : m_desktop->pointerPosition(), PanelGeometry::Offset::besidePointer);
        return;
    }
    if (!m_answer) {
        m_showWhenAnswered = true;
        locatePointer();
        return;
    }
    const std::optional<QPoint> pointer = *m_answer;
    m_answer.reset();
    if (pointer) {
        showAt(*pointer, PanelGeometry::Offset::besidePointer);
        return;
    }
    // Qt's own idea of the pointer is stale here: the centre is better than a wrong place.
    Log::app().info(QStringLiteral("pointer unknown — panel at the centre of the screen"));
    const auto screen = m_desktop->primaryScreen();
    showAt(screen ? screen->available.center() : QPoint(), PanelGeometry::Offset::centred);
}

void PopoverController::showAt(QPoint anchor, PanelGeometry::Offset offset)
{
    m_anchor = anchor;
    m_anchorOffset = offset;
    // Settings changed while the panel was hidden show now; the view reports the size
    // that follows from them, and the panel then follows it.
    m_view->refresh();
    const QSizeF size = m_lastContentSize.value_or(PanelGeometry::defaultContentSize);
    m_panel->resizeTo(size);
    place(m_anchor, size, m_anchorOffset);
    m_panel->showWithoutActivating();
    if (!m_clickWatcher->isWatching())
        installClickOutsideMonitor();
    invokeIfSet(onDidShow);

    const QRect frame = m_panel->frameGeometry();
    Log::app().info(QStringLiteral("panel shown frame (%1, %2) %3x%4")
                        .arg(truncated(frame.x()), truncated(frame.y()), truncated(frame.width()),
                             truncated(frame.height())));
    logLayout();
}

void PopoverController::logLayout() const
{
    QStringList actions;
    const QList<PopoverAction> active = m_preferences.activeActions();
    for (int index = 0; index < active.size(); ++index)
        actions.append(QStringLiteral("⌥") + QString::number(index + 1) + QLatin1Char(' ') +
                       rawValue(active[index]));
    Log::app().info(
        QStringLiteral("layout %1 · actions %2")
            .arg(rawValue(m_preferences.popoverLayout()), actions.join(QStringLiteral(" · "))));
}

void PopoverController::dismiss(const QString& reason)
{
    assertMainThread();
    m_showWhenAnswered = false;
    removeClickOutsideMonitor();
    m_panel->hide();
    invokeIfSet(onDidDismiss);
    Log::app().info(QStringLiteral("panel dismissed (%1)").arg(reason));
}

void PopoverController::contentSizeChanged(QSizeF size)
{
    assertMainThread();
    if (!PanelGeometry::isUsableContentSize(size))
        return;
    m_lastContentSize = size;
    if (!m_panel->isVisible())
        return;
    const QRect frame = m_panel->frameGeometry();
    if (QSizeF(frame.size()) == size)
        return;
    m_panel->resizeTo(size);
    // Beside the pointer again, below or above it as the new size fits; once the user has
    // dragged the panel elsewhere, it keeps its top-left corner there.
    if (frame.topLeft() == m_placedAt)
        place(m_anchor, size, m_anchorOffset);
    else
        place(frame.topLeft(), size, PanelGeometry::Offset::none);
    Log::app().info(QStringLiteral("panel resized to %1x%2")
                        .arg(truncated(size.width()), truncated(size.height())));
}

void PopoverController::place(QPointF point, QSizeF size, PanelGeometry::Offset offset)
{
    const auto area =
        PanelGeometry::availableAreaAt(point, m_desktop->screens(), m_desktop->primaryScreen());
    m_panel->moveTo(PanelGeometry::clampedTopLeft(point, size, offset, area));
    m_placedAt = m_panel->frameGeometry().topLeft();
}

void PopoverController::installClickOutsideMonitor()
{
    const QPointer<PopoverController> self(this);
    if (!m_clickWatcher->start([self] {
            if (self)
                self->clickedSomewhere();
        }))
        Log::app().error(QStringLiteral("click-outside monitor unavailable"));
}

void PopoverController::removeClickOutsideMonitor()
{
    m_clickWatcher->stop();
}

void PopoverController::clickedSomewhere()
{
    // The desktop reports every press, also those on the panel itself and on its menus;
    // only a press that goes to another application closes the panel.
    if (m_desktop->isOwnWindowAt(m_desktop->pointerPosition()))
        return;
    dismiss(QStringLiteral("outside click"));
}
