// SPDX-License-Identifier: MIT
#include "onboarding/guide/OnboardingView.h"

#include "ai/AIGateway.h"
#include "core/Callback.h"
#include "onboarding/guide/ConnectPage.h"
#include "onboarding/guide/PermissionPage.h"
#include "onboarding/guide/UsagePage.h"
#include "onboarding/guide/WelcomePage.h"
#include "settings/Preferences.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QStackedWidget>

OnboardingView::OnboardingView(KeyCharacters& layout, Clock& clock, SecretStore& secrets,
                               Preferences& preferences, QWidget* parent)
    : QWidget(parent)
    , m_layout(layout)
    , m_secrets(secrets)
    , m_preferences(preferences)
    , m_shortcut(m_preferences.hotkeyShortcut())
    , m_doubleTap(m_preferences.doubleTapModifier())
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(28, 24, 28, 20);
    column->setSpacing(16);
    m_pages = new QStackedWidget(this);
    m_welcome = new WelcomePage(recorderState());
    m_permission = new PermissionPage;
    m_connect = new ConnectPage(clock, secrets, preferences);
    m_usage = new UsagePage;
    m_pages->addWidget(m_welcome);
    m_pages->addWidget(m_permission);
    m_pages->addWidget(m_connect);
    m_pages->addWidget(m_usage);
    column->addWidget(m_pages, 1);
    connect(m_welcome, &WelcomePage::doubleTapChosen, this, &OnboardingView::chooseDoubleTap);

    auto* footer = new QHBoxLayout;
    m_back = new QPushButton(QStringLiteral("Back"), this);
    m_back->setAutoDefault(false);
    connect(m_back, &QPushButton::clicked, this, &OnboardingView::goBack);
    footer->addWidget(m_back);
    footer->addStretch(1);
    m_primary = new QPushButton(this);
    m_primary->setDefault(true);
    connect(m_primary, &QPushButton::clicked, this, &OnboardingView::goForward);
    footer->addWidget(m_primary);
    column->addLayout(footer);

    renderPages();
}

void OnboardingView::render(bool isTrusted, Callbacks callbacks)
{
    m_isTrusted = isTrusted;
    m_callbacks = std::move(callbacks);
    renderPages();
}

void OnboardingView::restart()
{
    m_shortcut = m_preferences.hotkeyShortcut();
    m_shortcutError.reset();
    m_doubleTap = m_preferences.doubleTapModifier();
    showStep(0);
}

void OnboardingView::goBack()
{
    if (m_step > 0)
        showStep(m_step - 1);
}

void OnboardingView::goForward()
{
    if (m_step == pageCount - 1) {
        const std::function<void()> finish = m_callbacks.onFinish;
        invokeIfSet(finish);
        return;
    }
    showStep(m_step + 1);
}

void OnboardingView::keyPressEvent(QKeyEvent* event)
{
    // Return presses the main button wherever the focus is, as a dialog's default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_primary->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

std::optional<QString> OnboardingView::record(const HotkeyShortcut& shortcut)
{
    const ShortcutRecorderView::RecordCallback onRecord = m_callbacks.onRecord;
    m_shortcutError = invokeIfSet(onRecord, shortcut);
    if (!m_shortcutError)
        m_shortcut = shortcut;
    // The recorder keeps its own title while it records; it shows the new shortcut once
    // the recording has ended (below).
    m_welcome->render(recorderState(), m_shortcutError, m_doubleTap);
    m_usage->render(m_shortcut, m_layout, m_callbacks.onOpenSettings);
    return m_shortcutError;
}

void OnboardingView::chooseDoubleTap(DoubleTapModifier modifier)
{
    m_doubleTap = modifier;
    m_preferences.setDoubleTapModifier(modifier);
    const std::function<void(DoubleTapModifier)> change = m_callbacks.onDoubleTapChange;
    invokeIfSet(change, modifier);
    renderPages();
}

ShortcutRecorder OnboardingView::recorderState()
{
    return {m_layout, m_shortcut,
            [this](const HotkeyShortcut& shortcut) { return record(shortcut); },
            [this](bool isRecording) {
                const std::function<void(bool)> change = m_callbacks.onRecordingChange;
                invokeIfSet(change, isRecording);
                if (!isRecording)
                    m_welcome->render(recorderState(), m_shortcutError, m_doubleTap);
            }};
}

void OnboardingView::showStep(int step)
{
    m_step = step;
    renderPages();
    if (step == connectStep) {
        m_connect->renderChoice();
        m_connect->search();
    }
}

void OnboardingView::renderPages()
{
    m_welcome->render(recorderState(), m_shortcutError, m_doubleTap);
    m_permission->render(m_isTrusted, m_callbacks.onGrant, m_callbacks.onRelaunch);
    m_usage->render(m_shortcut, m_layout, m_callbacks.onOpenSettings);
    // The keyring is read only where the answer is shown.
    if (m_step == pageCount - 1)
        m_usage->renderService(AIGateway::missingSetup(m_preferences, m_secrets),
                               [this] { showStep(connectStep); });
    m_pages->setCurrentIndex(m_step);
    m_back->setVisible(m_step > 0);
    m_primary->setText(m_step == pageCount - 1 ? QStringLiteral("Start using Quillmark")
                                               : QStringLiteral("Next"));
}
