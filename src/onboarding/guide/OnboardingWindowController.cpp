// SPDX-License-Identifier: MIT
#include "onboarding/guide/OnboardingWindowController.h"

#include "core/Callback.h"
#include "core/Log.h"
#include "onboarding/guide/ConnectPage.h"
#include "onboarding/guide/OnboardingView.h"
#include "onboarding/guide/UsagePage.h"
#include "settings/Preferences.h"
#include "ui/FrontWindow.h"

#include <QBoxLayout>
#include <QWidget>

namespace {
constexpr QSize windowSize{500, 430};
} // namespace

OnboardingWindowController::OnboardingWindowController(
    AccessibilityPermission& accessibility, KeyCharacters& layout, Clock& clock,
    SecretStore& secrets, Preferences& preferences, std::function<void()> relaunch,
    AccessibilityBus* accessibilityBus, QObject* parent)
    : QObject(parent)
    , m_accessibility(accessibility)
    , m_relaunch(std::move(relaunch))
    , m_accessibilityBus(accessibilityBus)
    , m_layout(layout)
    , m_clock(clock)
    , m_secrets(secrets)
    , m_preferences(preferences)
{}

OnboardingWindowController::~OnboardingWindowController()
{
    cancelPoll();
}

void OnboardingWindowController::showIfFirstRun()
{
    if (m_preferences.flag(DefaultsKey::hasSeenOnboarding))
        return;
    Log::app().info(QStringLiteral("first run — showing the welcome guide"));
    show();
}

void OnboardingWindowController::show()
{
    m_preferences.setFlag(DefaultsKey::hasSeenOnboarding, true);
    m_isTrusted = m_accessibility.isTrusted();
    if (!m_window) {
        m_window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::WindowTitleHint |
                                                          Qt::WindowCloseButtonHint);
        m_window->setWindowTitle(QStringLiteral("Welcome to Quillmark"));
        auto* layout = new QVBoxLayout(m_window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        m_view = new OnboardingView(m_layout, m_clock, m_secrets, m_preferences, m_window.get());
        m_view->connectPage().setCandidates(m_candidates);
        m_view->usagePage().setDesktopShortcut(m_desktop);
        layout->addWidget(m_view);
        m_window->setFixedSize(windowSize);
    }
    // Opened afresh, the guide starts from the beginning; shown while open, it stays on
    // its page.
    if (!m_window->isVisible())
        m_view->restart();
    render();
    readBus();

    showCentredInFront(m_window.get());

    schedulePoll();
}

void OnboardingWindowController::close()
{
    cancelPoll();
    if (m_window)
        m_window->close();
}

void OnboardingWindowController::setProbeCandidates(QList<LocalServerProbe::Candidate> candidates)
{
    m_candidates = std::move(candidates);
    if (m_view)
        m_view->connectPage().setCandidates(m_candidates);
}

void OnboardingWindowController::render()
{
    const QPointer<OnboardingWindowController> self(this);
    OnboardingView::Callbacks callbacks;
    callbacks.onRecord = [self](const HotkeyShortcut& shortcut) -> std::optional<QString> {
        if (!self)
            return std::nullopt;
        return self->record(shortcut);
    };
    callbacks.onRecordingChange = [self](bool isRecording) {
        if (self)
            invokeIfSet(self->onRecordingChange, isRecording);
    };
    callbacks.onDoubleTapChange = [self](DoubleTapModifier modifier) {
        if (self)
            invokeIfSet(self->onDoubleTapChange, modifier);
    };
    callbacks.onGrant = [self] {
        if (!self)
            return;
        (void)self->m_accessibility.promptIfNeeded();
        self->m_accessibility.openSystemSettings();
    };
    callbacks.onRelaunch = [self] {
        if (self)
            invokeIfSet(self->m_relaunch);
    };
    // The guide stays open behind the settings window.
    callbacks.onOpenSettings = [self] {
        if (self)
            invokeIfSet(self->onOpenSettings);
    };
    callbacks.onFinish = [self] {
        if (self)
            self->close();
    };
    m_view->render(m_isTrusted, std::move(callbacks));
    m_view->permissionPage().renderCause(m_accessibility.missingRequirements());
}

void OnboardingWindowController::readBus()
{
    if (!m_accessibilityBus)
        return;
    const QPointer<OnboardingWindowController> self(this);
    m_accessibilityBus->readState([self](AccessibilityBus::State state) {
        if (!self)
            return;
        using BusView = PermissionPage::BusView;
        if (state == AccessibilityBus::State::off)
            self->m_busView = BusView::off;
        else if (self->m_busView != BusView::switchedOn)
            self->m_busView = BusView::hidden;
        self->renderBus();
    });
}

void OnboardingWindowController::switchOnBus()
{
    const QPointer<OnboardingWindowController> self(this);
    m_accessibilityBus->switchOn([self](bool accepted) {
        if (!self)
            return;
        self->m_busView =
            accepted ? PermissionPage::BusView::switchedOn : PermissionPage::BusView::switchFailed;
        self->renderBus();
    });
}

void OnboardingWindowController::renderBus()
{
    if (!m_view)
        return;
    m_view->permissionPage().renderBus(m_busView, [this] { switchOnBus(); });
}

std::optional<QString> OnboardingWindowController::record(const HotkeyShortcut& shortcut)
{
    if (const std::optional<HotkeyShortcut::Rejection> rejection = shortcut.rejection(m_layout))
        return rejection->message();
    if (invokeIfSet(onHotkeyChange, shortcut)) {
        m_preferences.setHotkeyShortcut(shortcut);
        Log::app().info(QStringLiteral("shortcut set during onboarding: %1")
                            .arg(shortcut.displayString(m_layout)));
        return std::nullopt;
    }
    // The shortcut in force stays registered and stored.
    return QStringLiteral("Already used by another application: ") + shortcut.label(m_layout) +
           QStringLiteral(".");
}

void OnboardingWindowController::cancelPoll()
{
    m_poll.reset();
}

void OnboardingWindowController::schedulePoll()
{
    m_poll = m_clock.startTimer(pollInterval, [this] { pollTrust(); });
}

void OnboardingWindowController::pollTrust()
{
    // Closed with the window's own button: the poll ends here.
    if (!m_window || !m_window->isVisible()) {
        m_poll.reset();
        return;
    }
    const bool trusted = m_accessibility.isTrusted();
    if (trusted != m_isTrusted) {
        Log::app().info(QStringLiteral("welcome guide: accessibility became %1")
                            .arg(trusted ? QStringLiteral("granted") : QStringLiteral("revoked")));
        m_isTrusted = trusted;
        render();
    }
    schedulePoll();
}
