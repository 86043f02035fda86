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
const QString launchedLine = u"info app: Quillmark %1 launched"_s.arg(AppIdentity::version());

// The journal without the key migration, whose pool thread records at its own pace.
QStringList mainThreadCalls(const CallJournal& journal)
{
    QStringList calls = journal.entries();
    calls.removeAll(u"keychain.migrateLegacyKeyIfNeeded"_s);
    return calls;
}

using LaunchTest = FlowTest;

TEST_F(LaunchTest, CreatesAndWiresTheComponentsInTheirFixedOrder)
{
    preferences.setDoubleTapModifier(DoubleTapModifier::option);
    launch();

    const QStringList expected = {
        "doubleTap.create", // in the constructor, before the launch
        "log " + launchedLine,
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
    EXPECT_EQ(logLines(), QStringList{launchedLine});
    EXPECT_EQ(desktop.hotkeySelfTest->lastRegistrar, desktop.hotkey);
    EXPECT_EQ(&desktop.settings->doubleTap, desktop.doubleTap);
    EXPECT_EQ(desktop.hotkey->current(), optionCommandT);
}

TEST_F(LaunchTest, AMoveToTheApplicationsFolderEndsTheLaunchAtOnce)
{
    desktop.mover->takesOver = true;
    launch();

    EXPECT_EQ(desktop.journal.entries(), QStringList({"doubleTap.create", "log " + launchedLine,
                                                      "mover.offerIfRunningFromDiskImage"}));
    EXPECT_EQ(desktop.popover, nullptr);
    delegate->togglePanel("trigger"); // without a panel every trigger is ignored
    EXPECT_EQ(logLines(), QStringList{launchedLine});
}

// A stored shortcut another client holds falls back to the default once; the user's choice
// is kept and tried again at the next launch, and the rest of the launch goes on.
struct TakenRow {
    const char* name;
    std::optional<HotkeyShortcut> stored;
    QList<HotkeyShortcut> refused;
    QStringList registers;
    std::optional<HotkeyShortcut> current;
    bool fallbackLogged;
};

class TakenShortcutTest : public FlowTest, public ::testing::WithParamInterface<TakenRow> {};

TEST_P(TakenShortcutTest, AtLaunch)
{
    const TakenRow& row = GetParam();
    if (row.stored)
        preferences.setHotkeyShortcut(*row.stored);
    desktop.refusedShortcuts = row.refused;
    launch();

    EXPECT_EQ(desktop.journal.entriesStartingWith("hotkey.register"), row.registers);
    EXPECT_EQ(desktop.hotkey->current(), row.current);
    QStringList log{launchedLine};
    if (row.fallbackLogged)
        log << "error hotkey: stored hotkey ⌃⌥R is taken — falling back to ⌥⌘T";
    EXPECT_EQ(logLines(), log);
    EXPECT_EQ(preferences.hotkeyShortcut(), row.stored.value_or(optionCommandT));
    EXPECT_EQ(mainThreadCalls(desktop.journal).last(), "popover.create");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, TakenShortcutTest, ::testing::Values(
    TakenRow{"storedTaken", controlOptionR, {controlOptionR}, {"hotkey.register(⌃⌥R)", "hotkey.register(⌥⌘T)"}, optionCommandT, true},
    TakenRow{"defaultTaken", std::nullopt, {optionCommandT}, {"hotkey.register(⌥⌘T)"}, std::nullopt, false},
    TakenRow{"bothTaken", controlOptionR, {controlOptionR, optionCommandT}, {"hotkey.register(⌃⌥R)", "hotkey.register(⌥⌘T)"}, std::nullopt, true}),
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
        KeychainHelper(secrets).migrateLegacyKeyIfNeeded(preferences);
    };
    delegate = std::make_unique<AppDelegate>(std::move(components), m_layout, fakeClock.clock,
                                             secrets, preferences);
    delegate->launch();
    QThreadPool::globalInstance()->waitForDone();

    EXPECT_EQ(runs, 1);
    EXPECT_NE(migrationThread.load(), QThread::currentThread());
    EXPECT_EQ(secrets.stored(KeychainHelper::service, KeychainHelper::openAIAccount), "sk-legacy");
}

TEST_F(LaunchTest, EachCallbackCallsTheRightComponent)
{
    using D = FakeDesktop;
    const struct {
        const char* name;
        std::function<void(D&)> act;
        QStringList calls;
    } rows[] = {
        // clang-format off
        {"status item opens the settings", [](D& d) { invokeIfSet(d.statusItem->onOpenSettings); }, {"settings.show"}},
        {"status item checks for updates", [](D& d) { invokeIfSet(d.statusItem->onCheckForUpdates); }, {"updates.checkForUpdates"}},
        {"status item shows the guide", [](D& d) { invokeIfSet(d.statusItem->onShowGuide); }, {"onboarding.show"}},
        {"guide opens the settings", [](D& d) { invokeIfSet(d.onboarding->onOpenSettings); }, {"settings.show"}},
        {"guide changes the double-tap modifier", [](D& d) { invokeIfSet(d.onboarding->onDoubleTapChange, DoubleTapModifier::control); }, {"doubleTap.apply(control)"}},
        {"panel opens the settings at the AI service", [](D& d) { invokeIfSet(d.popover->model().onOpenSettings); }, {"popover.dismiss(open settings)", "hotkey.unregisterSessionKeys", "settings.showAIService"}},
        {"panel asks for the update", [](D& d) { invokeIfSet(d.popover->model().onUpdate); }, {"popover.dismiss(update)", "hotkey.unregisterSessionKeys", "updates.updateNow"}},
        {"panel opens the accessibility settings", [](D& d) { invokeIfSet(d.popover->model().onOpenAccessibilitySettings); }, {"accessibility.openSystemSettings"}},
        {"a hotkey press spoils a half-seen double tap", [](D& d) { invokeIfSet(d.hotkey->onAnyHotkey); }, {"doubleTap.noteHotkeyPress"}},
        {"the panel's session keys follow the panel", [](D& d) { d.popover->show(std::nullopt); d.popover->dismiss("outside click"); }, {"popover.show", "hotkey.registerSessionKeys", "popover.dismiss(outside click)", "hotkey.unregisterSessionKeys"}},
        {"a recording without a new shortcut restores the old one", [](D& d) { d.onboarding->onRecordingChange(true); d.onboarding->onRecordingChange(false); }, {"hotkey.suspend", "doubleTap.setSuspended(true)", "hotkey.register(⌥⌘T)", "doubleTap.setSuspended(false)"}},
        {"a refused shortcut is reported to the recorder", [](D& d) { d.hotkey->refused << controlOptionR; EXPECT_FALSE(d.onboarding->onHotkeyChange(controlOptionR)); }, {"hotkey.register(⌃⌥R)"}},
        {"settings record a new shortcut", [](D& d) { d.hotkey->refused.clear(); d.settings->onRecordingChange(true); EXPECT_TRUE(d.settings->onHotkeyChange(controlOptionR)); d.settings->onRecordingChange(false); }, {"hotkey.suspend", "doubleTap.setSuspended(true)", "hotkey.register(⌃⌥R)", "doubleTap.setSuspended(false)"}},
        // clang-format on
    };
    launch();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        desktop.journal.clear();
        row.act(desktop);
        EXPECT_EQ(desktop.journal.entries(), row.calls);
    }
}

TEST_F(LaunchTest, TheUpdateMenuItemFollowsTheUpdaterAndCallbacksEndWithTheDelegate)
{
    launch();
    for (const bool possible : {true, false}) {
        desktop.updates->checkPossible = possible;
        EXPECT_EQ(desktop.statusItem->canCheckForUpdates(), possible);
    }
    desktop.updates->checkPossible = true;
    triggerWithSelection("kept");
    const auto onHotkey = desktop.hotkey->onHotkey;
    const auto onEscape = desktop.hotkey->onEscape;
    const auto onActionKey = desktop.hotkey->onActionKey;
    const auto onHotkeyChange = desktop.settings->onHotkeyChange;
    const auto canCheckForUpdates = desktop.statusItem->canCheckForUpdates;
    const auto onAction = model().onAction;
    const auto onRetry = model().onRetry;
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
