// SPDX-License-Identifier: MIT
// The launch sequence and the wiring of every component. The panel cycle itself is in
// AppDelegateCycle.cpp.
#include "app/AppDelegate.h"

#include "core/AppIdentity.h"
#include "core/Callback.h"
#include "core/Log.h"
#include "core/PopoverModel.h"
#include "settings/Preferences.h"

#include <QThreadPool>
#include <QTimer>

namespace {

template <class T> std::unique_ptr<T> make(const std::function<std::unique_ptr<T>()>& factory)
{
    std::unique_ptr<T> made = factory();
    Q_ASSERT(made);
    return made;
}

} // namespace

AppDelegate::AppDelegate(AppComponents components, KeyCharacters& layout, Clock& clock,
                         SecretStore& secrets, Preferences& preferences, QObject* parent)
    : QObject(parent)
    , m_components(std::move(components))
    , m_layout(layout)
    , m_clock(clock)
    , m_preferences(preferences)
    , m_gateway(clock, secrets, preferences)
{
    Q_ASSERT(m_components.makeDoubleTap && m_components.makeStatusItem &&
             m_components.makeUpdater && m_components.makeWelcomeGuide &&
             m_components.makePopover && m_components.makeHotkeyRegistrar &&
             m_components.makeSettingsWindow);
    Q_ASSERT(m_components.applicationMover && m_components.accessibility &&
             m_components.selection && m_components.pasteBack && m_components.secureInput &&
             m_components.runningApplications && m_components.hotkeySelfTest &&
             m_components.migrateLegacyKey);
    m_doubleTap = make(m_components.makeDoubleTap);
}

AppDelegate::~AppDelegate()
{
    // Components may still call back while they are torn down, so they go in the reverse
    // order of their creation while the rest of the delegate is intact.
    cancelPermissionPoll();
    m_settings.reset();
    m_hotkey.reset();
    m_popover.reset();
    m_onboarding.reset();
    m_updates.reset();
    m_statusItem.reset();
    m_doubleTap.reset();
}

void AppDelegate::launch()
{
    Log::app().info(QStringLiteral("%1 %2 launched")
                        .arg(QString::fromUtf8(AppIdentity::name), AppIdentity::version()));

    // A moved copy starts anew from the applications folder; this one must not go on.
    if (m_components.applicationMover->offerIfRunningFromDiskImage())
        return;
    m_components.applicationMover->ejectSourceVolumeIfAsked();

    m_statusItem = make(m_components.makeStatusItem);
    m_updates = make(m_components.makeUpdater);
    m_statusItem->onCheckForUpdates = weakly([](AppDelegate& self) {
        if (self.m_updates)
            self.m_updates->checkForUpdates();
    });
    m_statusItem->canCheckForUpdates = weakly(
        [](AppDelegate& self) { return self.m_updates && self.m_updates->canCheckForUpdates(); });

    m_onboarding = make(m_components.makeWelcomeGuide);
    m_onboarding->onOpenSettings = weakly([](AppDelegate& self) {
        if (self.m_settings)
            self.m_settings->show();
    });
    m_statusItem->onShowGuide = weakly([](AppDelegate& self) {
        if (self.m_onboarding)
            self.m_onboarding->show();
    });

    // The manager is stored only once its shortcut is registered.
    std::unique_ptr<HotkeyRegistrar> hotkey = make(m_components.makeHotkeyRegistrar);
    hotkey->onHotkey =
        weakly([](AppDelegate& self) { self.togglePanel(QStringLiteral("hotkey")); });
    // A key press taken by a global grab never reaches the double-tap watcher, so it is
    // told here; otherwise the modifier of a chord would look like a clean tap.
    hotkey->onAnyHotkey = weakly([](AppDelegate& self) { self.m_doubleTap->noteHotkeyPress(); });

    m_doubleTap->onDoubleTap =
        weakly([](AppDelegate& self) { self.togglePanel(QStringLiteral("double-tap")); });
    m_doubleTap->apply(m_preferences.doubleTapModifier());

    hotkey->onEscape = weakly([](AppDelegate& self) { self.escapePressed(); });
    hotkey->onActionKey =
        weakly([](AppDelegate& self, int number) { self.actionKeyPressed(number); });

    registerStoredShortcut(*hotkey);
    m_hotkey = std::move(hotkey);

    m_settings = m_components.makeSettingsWindow(*m_doubleTap);
    Q_ASSERT(m_settings);
    m_settings->onHotkeyChange = weakly([](AppDelegate& self, const HotkeyShortcut& shortcut) {
        return self.changeHotkey(shortcut);
    });
    m_settings->onRecordingChange =
        weakly([](AppDelegate& self, bool isRecording) { self.recordingChanged(isRecording); });

    m_onboarding->onHotkeyChange = m_settings->onHotkeyChange;
    m_onboarding->onRecordingChange = m_settings->onRecordingChange;
    m_onboarding->onDoubleTapChange = weakly(
        [](AppDelegate& self, DoubleTapModifier modifier) { self.m_doubleTap->apply(modifier); });

    m_statusItem->onOpenSettings = weakly([](AppDelegate& self) {
        if (self.m_settings)
            self.m_settings->show();
    });

    startKeyMigration();
    m_onboarding->showIfFirstRun();
    runProxySelfTestIfRequested();
    m_components.hotkeySelfTest->runIfRequested(*m_hotkey);

    m_launched = true;
    // The panel (its widgets, the font database) is built once the tray icon and the
    // shortcut are in place and start-up's own events are handled, so that neither waits
    // for it and the first popup is as quick as the later ones.
    QTimer::singleShot(0, this, [this] { ensurePopover(); });
}

void AppDelegate::ensurePopover()
{
    if (m_popover)
        return;
    m_popover = make(m_components.makePopover);
    wirePopoverModel();
    m_popover->onDidShow = weakly([](AppDelegate& self) {
        if (self.m_hotkey)
            self.m_hotkey->registerSessionKeys();
    });
    m_popover->onDidDismiss = weakly([](AppDelegate& self) {
        if (self.m_hotkey)
            self.m_hotkey->unregisterSessionKeys();
        self.cancelPermissionPoll();
    });
}

void AppDelegate::openSettingsForSecondStart()
{
    Log::app().info(QStringLiteral("started again — opening the settings window"));
    if (m_settings)
        m_settings->show();
}

void AppDelegate::wirePopoverModel()
{
    PopoverModel& model = m_popover->model();
    model.onOpenAccessibilitySettings =
        weakly([](AppDelegate& self) { self.m_components.accessibility->openSystemSettings(); });
    model.onAction = weakly([](AppDelegate& self, const TextAction& action) { self.run(action); });
    model.onCopy = weakly([](AppDelegate& self) { self.copyResult(); });
    model.onReplace = weakly([](AppDelegate& self) { self.replaceResult(); });
    model.onBack = weakly([](AppDelegate& self) { self.backToReady(QStringLiteral("back")); });
    // Every way to the settings from the panel is about the AI service: none chosen, no key
    // stored, a key refused.
    model.onOpenSettings = weakly([](AppDelegate& self) {
        self.m_popover->dismiss(QStringLiteral("open settings"));
        if (self.m_settings)
            self.m_settings->showAIService();
    });
    model.onRetry = weakly([](AppDelegate& self) {
        if (self.m_lastAction)
            self.run(*self.m_lastAction);
    });
    model.onUpdate = weakly([](AppDelegate& self) {
        self.m_popover->dismiss(QStringLiteral("update"));
        if (self.m_updates)
            self.m_updates->updateNow();
    });
}

void AppDelegate::registerStoredShortcut(HotkeyRegistrar& hotkey)
{
    const HotkeyShortcut stored = m_preferences.hotkeyShortcut();
    if (hotkey.registerShortcut(stored))
        return;
    const HotkeyShortcut fallback = HotkeyShortcut::defaultShortcut();
    if (stored == fallback)
        return;
    Log::hotkey().error(QStringLiteral("stored hotkey %1 is taken — falling back to %2")
                            .arg(stored.displayString(m_layout), fallback.displayString(m_layout)));
    // The stored preference stays as it is, so the user's choice is tried again next time.
    // Whether the fallback itself was accepted changes nothing here.
    (void)hotkey.registerShortcut(fallback);
}

void AppDelegate::startKeyMigration()
{
    QThreadPool::globalInstance()->start(m_components.migrateLegacyKey);
}

bool AppDelegate::changeHotkey(const HotkeyShortcut& shortcut)
{
    return m_hotkey && m_hotkey->registerShortcut(shortcut);
}

void AppDelegate::recordingChanged(bool isRecording)
{
    if (isRecording) {
        if (m_hotkey)
            m_hotkey->suspend();
        m_doubleTap->setSuspended(true);
        return;
    }
    // A recording that ended without a new shortcut leaves the old one suspended.
    if (m_hotkey && !m_hotkey->hasRegisteredHotkey()) {
        if (const std::optional<HotkeyShortcut> current = m_hotkey->current())
            (void)m_hotkey->registerShortcut(*current);
    }
    m_doubleTap->setSuspended(false);
}
