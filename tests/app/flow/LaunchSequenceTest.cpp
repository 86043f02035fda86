// SPDX-License-Identifier: MIT
#include "FlowTestSupport.h"
#include "ai/KeychainHelper.h"
#include "core/AppIdentity.h"
#include "core/Callback.h"
#include "settings/Preferences.h"

#include <QThread>
#include <QThreadPool>

namespace {

const HotkeyShortcut optionCommandT = HotkeyShortcut::defaultShortcut();
const HotkeyShortcut controlOptionR{15, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit};

QString launchedLine()
{
    return QStringLiteral("info app: Quillmark %1 launched").arg(AppIdentity::version());
}

// The journal without the key migration, whose pool thread records at its own pace.
QStringList mainThreadCalls(const CallJournal& journal)
{
    QStringList calls = journal.entries();
    calls.removeAll(QStringLiteral("keychain.migrateLegacyKeyIfNeeded"));
    return calls;
}

using LaunchTest = FlowTest;

TEST_F(LaunchTest, CreatesAndWiresTheComponentsInTheirFixedOrder)
{
    Preferences::setDoubleTapModifier(DoubleTapModifier::option);
    launch();

    const QStringList expected = {
        "doubleTap.create", // in the constructor, before the launch
        "log " + launchedLine(),
        "mover.offerIfRunningFromDiskImage",
        "mover.ejectSourceVolumeIfAsked",
        "statusItem.create",
        "updates.create",
        "onboarding.create",
        "hotkey.create",
        "doubleTap.apply(option)",
        "hotkey.register(⌥⌘T)",
        "settings.create",
        "onboarding.showIfFirstRun",
        "hotkeySelfTest.runIfRequested",
        "popover.create", // once start-up's own events are handled
    };
    EXPECT_EQ(mainThreadCalls(desktop.journal), expected);
    // The migration starts after the settings window exists.
    const QStringList all = desktop.journal.entries();
    EXPECT_GT(all.indexOf("keychain.migrateLegacyKeyIfNeeded"), all.indexOf("settings.create"));
    EXPECT_EQ(logLines(), QStringList{launchedLine()});

    EXPECT_EQ(desktop.hotkeySelfTest->lastRegistrar, desktop.hotkey);
    EXPECT_EQ(&desktop.settings->doubleTap(), desktop.doubleTap);
    EXPECT_EQ(desktop.hotkey->current(), optionCommandT);
}

TEST_F(LaunchTest, AMoveToTheApplicationsFolderEndsTheLaunchAtOnce)
{
    desktop.mover->takesOver = true;
    launch();

    EXPECT_EQ(desktop.journal.entries(), QStringList({"doubleTap.create", "log " + launchedLine(),
                                                      "mover.offerIfRunningFromDiskImage"}));
    EXPECT_EQ(desktop.popover, nullptr);
    // Without a panel every trigger is ignored.
    delegate->togglePanel("trigger");
    EXPECT_EQ(logLines(), QStringList{launchedLine()});
}

// A stored shortcut another client holds falls back to the default once; the user's choice
// is kept and tried again at the next launch, and the rest of the launch goes on.
struct TakenRow {
    const char* name;
    std::optional<HotkeyShortcut> stored;
    QList<HotkeyShortcut> refused;
    QStringList registers;
    std::optional<HotkeyShortcut> current;
    QStringList extraLog;
};

class TakenShortcutTest : public FlowTest, public ::testing::WithParamInterface<TakenRow> {};

TEST_P(TakenShortcutTest, AtLaunch)
{
    const TakenRow& row = GetParam();
    if (row.stored)
        Preferences::setHotkeyShortcut(*row.stored);
    desktop.refusedShortcuts = row.refused;
    launch();

    EXPECT_EQ(desktop.journal.entriesStartingWith("hotkey.register"), row.registers);
    EXPECT_EQ(desktop.hotkey->current(), row.current);
    EXPECT_EQ(logLines(), QStringList{launchedLine()} + row.extraLog);
    if (row.stored) {
        EXPECT_EQ(Preferences::hotkeyShortcut(), *row.stored);
    }
    EXPECT_EQ(mainThreadCalls(desktop.journal).last(), "popover.create");
}

const QString fallbackLine = "error hotkey: stored hotkey ⌃⌥R is taken — falling back to ⌥⌘T";
// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, TakenShortcutTest, ::testing::Values(
    TakenRow{"storedTaken", controlOptionR, {controlOptionR}, {"hotkey.register(⌃⌥R)", "hotkey.register(⌥⌘T)"}, optionCommandT, {fallbackLine}},
    TakenRow{"defaultTaken", std::nullopt, {optionCommandT}, {"hotkey.register(⌥⌘T)"}, std::nullopt, {}},
    TakenRow{"bothTaken", controlOptionR, {controlOptionR, optionCommandT}, {"hotkey.register(⌃⌥R)", "hotkey.register(⌥⌘T)"}, std::nullopt, {fallbackLine}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(LaunchTest, TheKeyMigrationRunsOnceOffTheMainThread)
{
    secrets.put(KeychainHelper::legacyService, KeychainHelper::openAIAccount, "sk-legacy");
    AppComponents components = desktop.components();
    std::atomic<QThread*> migrationThread = nullptr;
    std::atomic<int> runs = 0;
    components.migrateLegacyKey = [&] {
        migrationThread = QThread::currentThread();
        ++runs;
        KeychainHelper(secrets).migrateLegacyKeyIfNeeded();
    };
    delegate =
        std::make_unique<AppDelegate>(std::move(components), m_layout, fakeClock.clock, secrets);
    delegate->launch();
    QThreadPool::globalInstance()->waitForDone();

    EXPECT_EQ(runs, 1);
    EXPECT_NE(migrationThread.load(), QThread::currentThread());
    EXPECT_EQ(secrets.stored(KeychainHelper::service, KeychainHelper::openAIAccount), "sk-legacy");
}

// One callback of the wiring table: what the test does, then the calls it must cause.
struct WiringRow {
    const char* name;
    std::function<void(FakeDesktop&)> act;
    QStringList calls;
};

void PrintTo(const WiringRow& row, std::ostream* os)
{
    *os << row.name;
}

class WiringTest : public FlowTest, public ::testing::WithParamInterface<WiringRow> {};

TEST_P(WiringTest, CallsTheRightComponent)
{
    launch();
    desktop.journal.clear();
    GetParam().act(desktop);
    EXPECT_EQ(desktop.journal.entries(), GetParam().calls);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Callbacks, WiringTest, ::testing::Values(
    WiringRow{"status item opens the settings",
              [](FakeDesktop& d) { invokeIfSet(d.statusItem->onOpenSettings); }, {"settings.show"}},
    WiringRow{"status item checks for updates",
              [](FakeDesktop& d) { invokeIfSet(d.statusItem->onCheckForUpdates); },
              {"updates.checkForUpdates"}},
    WiringRow{"status item shows the guide",
              [](FakeDesktop& d) { invokeIfSet(d.statusItem->onShowGuide); }, {"onboarding.show"}},
    WiringRow{"guide opens the settings",
              [](FakeDesktop& d) { invokeIfSet(d.onboarding->onOpenSettings); }, {"settings.show"}},
    WiringRow{"guide changes the double-tap modifier",
              [](FakeDesktop& d) { invokeIfSet(d.onboarding->onDoubleTapChange, DoubleTapModifier::control); },
              {"doubleTap.apply(control)"}},
    WiringRow{"panel opens the settings at the AI service",
              [](FakeDesktop& d) { invokeIfSet(d.popover->model().onOpenSettings); },
              {"popover.dismiss(open settings)", "hotkey.unregisterSessionKeys", "settings.showAIService"}},
    WiringRow{"panel asks for the update",
              [](FakeDesktop& d) { invokeIfSet(d.popover->model().onUpdate); },
              {"popover.dismiss(update)", "hotkey.unregisterSessionKeys", "updates.updateNow"}},
    WiringRow{"panel opens the accessibility settings",
              [](FakeDesktop& d) { invokeIfSet(d.popover->model().onOpenAccessibilitySettings); },
              {"accessibility.openSystemSettings"}},
    WiringRow{"a hotkey press spoils a half-seen double tap",
              [](FakeDesktop& d) { invokeIfSet(d.hotkey->onAnyHotkey); }, {"doubleTap.noteHotkeyPress"}},
    WiringRow{"the panel's session keys follow the panel",
              [](FakeDesktop& d) { d.popover->show(std::nullopt); d.popover->dismiss("outside click"); },
              {"popover.show", "hotkey.registerSessionKeys", "popover.dismiss(outside click)",
               "hotkey.unregisterSessionKeys"}},
    WiringRow{"settings record a new shortcut",
              [](FakeDesktop& d) {
                  d.settings->onRecordingChange(true);
                  EXPECT_TRUE(d.settings->onHotkeyChange(controlOptionR));
                  d.settings->onRecordingChange(false);
              },
              {"hotkey.suspend", "doubleTap.setSuspended(true)", "hotkey.register(⌃⌥R)",
               "doubleTap.setSuspended(false)"}},
    WiringRow{"a recording without a new shortcut restores the old one",
              [](FakeDesktop& d) {
                  d.onboarding->onRecordingChange(true);
                  d.onboarding->onRecordingChange(false);
              },
              {"hotkey.suspend", "doubleTap.setSuspended(true)", "hotkey.register(⌥⌘T)",
               "doubleTap.setSuspended(false)"}},
    WiringRow{"a refused shortcut is reported to the recorder",
              [](FakeDesktop& d) {
                  d.hotkey->refuse(controlOptionR);
                  EXPECT_FALSE(d.onboarding->onHotkeyChange(controlOptionR));
              },
              {"hotkey.register(⌃⌥R)"}}));
// clang-format on

TEST_F(LaunchTest, TheUpdateMenuItemFollowsTheUpdaterAndCallbacksEndWithTheDelegate)
{
    launch();
    for (const bool possible : {true, false}) {
        desktop.updates->checkPossible = possible;
        EXPECT_EQ(desktop.statusItem->canCheckForUpdates(), possible);
    }
    desktop.updates->checkPossible = true;
    triggerWithSelection("kept");
    const std::function<void()> onHotkey = desktop.hotkey->onHotkey;
    const std::function<void()> onEscape = desktop.hotkey->onEscape;
    const std::function<void(int)> onActionKey = desktop.hotkey->onActionKey;
    const std::function<bool(const HotkeyShortcut&)> onHotkeyChange =
        desktop.settings->onHotkeyChange;
    const std::function<bool()> canCheckForUpdates = desktop.statusItem->canCheckForUpdates;
    const std::function<void(const TextAction&)> onAction = model().onAction;
    const std::function<void()> onRetry = model().onRetry;
    delegate.reset();
    clearLog();

    onHotkey();
    onEscape();
    onActionKey(1);
    onAction(TextAction::translate());
    onRetry();
    EXPECT_FALSE(onHotkeyChange(optionCommandT));
    EXPECT_FALSE(canCheckForUpdates());
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_TRUE(server.requests().isEmpty());
}

} // namespace
