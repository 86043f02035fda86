// SPDX-License-Identifier: MIT
#include "ui/settings/SettingsWindowController.h"

#include "core/Callback.h"
#include "ui/FrontWindow.h"
#include "ui/settings/SettingsView.h"

#include <QBoxLayout>
#include <QPointer>
#include <QWidget>

SettingsWindowController::SettingsWindowController(DoubleTapTrigger& doubleTap,
                                                   AccessibilityPermission& accessibility,
                                                   KeyCharacters& layout, Clock& clock,
                                                   SecretStore& secrets, Preferences& preferences,
                                                   QObject* parent)
    : QObject(parent)
    , m_doubleTap(doubleTap)
    , m_accessibility(accessibility)
    , m_layout(layout)
    , m_clock(clock)
    , m_secrets(secrets)
    , m_preferences(preferences)
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
        owner.desktop = m_desktop;

        m_window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::WindowTitleHint |
                                                          Qt::WindowCloseButtonHint |
                                                          Qt::WindowMinimizeButtonHint);
        m_window->setWindowTitle(QStringLiteral("Quillmark Settings"));
        auto* layout = new QVBoxLayout(m_window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        m_view = new SettingsView(std::move(owner), m_layout, m_clock, m_secrets, m_preferences,
                                  m_window.get());
        layout->addWidget(m_view);
        m_window->setFixedSize(SettingsView::formSize);
    } else {
        m_view->reload();
    }

    showCentredInFront(m_window.get());
}

void SettingsWindowController::showAIService()
{
    show();
    m_view->revealAIService();
}
