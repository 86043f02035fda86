// SPDX-License-Identifier: MIT
#include "FlowTestSupport.h"
#include "core/AppIdentity.h"
#include "core/Callback.h"
#include "settings/Preferences.h"

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
    // The migration starts after the settings window exists, off the main thread.
    const QStringList all = desktop.journal.entries();
    EXPECT_GT(all.indexOf("keychain.migrateLegacyKeyIfNeeded"), all.indexOf("settings.create"));
    EXPECT_EQ(logLines(), QStringList{launchedLine});
    EXPECT_EQ(desktop.hotkey->current(), optionCommandT);
}

// A stored shortcut another client holds falls back to the default once; the user's choice
// is kept and tried again at the next launch, and the rest of the launch goes on.
struct TakenRow {
    const char* name;
    std::optional<HotkeyShortcut> stored;
    QList<HotkeyShortcut> refused;
    QStringList registers;
    std::optional<HotkeyShortcut> current;
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
    if (row.stored) // the fallback is logged
        log << "error hotkey: stored hotkey ⌃⌥R is taken — falling back to ⌥⌘T";
    EXPECT_EQ(logLines(), log);
    EXPECT_EQ(preferences.hotkeyShortcut(), row.stored.value_or(optionCommandT));
    EXPECT_EQ(mainThreadCalls(desktop.journal).last(), "popover.create");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, TakenShortcutTest, ::testing::Values(
    TakenRow{"storedTaken", controlOptionR, {controlOptionR}, {"hotkey.register(⌃⌥R)", "hotkey.register(⌥⌘T)"}, optionCommandT},
    TakenRow{"bothTaken", controlOptionR, {controlOptionR, optionCommandT}, {"hotkey.register(⌃⌥R)", "hotkey.register(⌥⌘T)"}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

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
        {"status item offers the check when the updater can", [](D& d) { d.updates->checkPossible = false; EXPECT_FALSE(d.statusItem->canCheckForUpdates()); }, {}},
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

} // namespace
