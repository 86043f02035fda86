// SPDX-License-Identifier: MIT
#include "ui/settings/SettingsWindowController.h"

#include "core/Callback.h"
#include "ui/settings/SettingsView.h"

#include <QBoxLayout>
#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

SettingsWindowController::SettingsWindowController(DoubleTapTrigger& doubleTap,
                                                   AccessibilityPermission& accessibility,
                                                   KeyCharacters& layout, QObject* parent)
    : QObject(parent)
    , m_doubleTap(doubleTap)
    , m_accessibility(accessibility)
    , m_layout(layout)
    , m_waiting(doubleTap)
{}

SettingsWindowController::~SettingsWindowController() = default;

void SettingsWindowController::show()
{
    if (!m_window) {
        const QPointer<SettingsWindowController> self(this);
        HotkeySection::Owner owner;
        owner.onHotkeyChange = [self](const HotkeyShortcut& shortcut) {
            return self && invokeIfSet(self->onHotkeyChange, shortcut);
        };
        owner.onRecordingChange = [self](bool isRecording) {
            if (self)
                invokeIfSet(self->onRecordingChange, isRecording);
        };
        owner.doubleTap = &m_doubleTap;
        owner.waiting = &m_waiting;
        owner.accessibility = &m_accessibility;

        m_window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::WindowTitleHint |
                                                          Qt::WindowCloseButtonHint |
                                                          Qt::WindowMinimizeButtonHint);
        m_window->setWindowTitle(QStringLiteral("Quillmark Settings"));
        auto* layout = new QVBoxLayout(m_window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        m_view = new SettingsView(std::move(owner), m_layout, m_window.get());
        layout->addWidget(m_view);
        m_window->setFixedSize(SettingsView::formSize);
    } else {
        m_view->reload();
    }

    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        m_window->move(area.center() - QPoint(m_window->width() / 2, m_window->height() / 2));
    }
    m_window->show();
    // Quillmark has no window in front while the user works elsewhere; without asking for
    // activation the window could open behind the application the user is in.
    m_window->raise();
    m_window->activateWindow();
}
