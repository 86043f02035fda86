// SPDX-License-Identifier: MIT
#include "input/HotkeyManager.h"

#include "support/TestEnvironment.h"
#include "support/fakes/FakeKeyGrabber.h"
#include "support/fakes/FakeKeyboardLayout.h"

#include <gtest/gtest.h>

namespace {

const HotkeyShortcut optionCommandT{17, 0x0900};
const HotkeyShortcut controlOptionY{16, 0x1800};
const HotkeyShortcut optionCommandG{5, 0x0900};
const HotkeyShortcut escape{53, 0};
HotkeyShortcut optionDigit(int digit)
{
    return {uint32_t(17 + digit), 0x0800};
}

// A manager over a fake desktop, with every callback written down in the order it came.
class HotkeyManagerTest : public ::testing::Test {
protected:
    HotkeyManagerTest()
    {
        for (auto [keyCode, text] : {std::pair{17u, "t"},
                                     {16u, "y"},
                                     {5u, "g"},
                                     {18u, "1"},
                                     {19u, "2"},
                                     {20u, "3"},
                                     {21u, "4"}})
            m_layout.setText(keyCode, QString::fromUtf8(text));

        makeManager();
    }

    // A fresh manager on a fresh desktop.
    void makeManager()
    {
        auto grabber = std::make_unique<FakeKeyGrabber>(m_layout);
        desktop = grabber.get();
        manager = std::make_unique<HotkeyManager>(std::move(grabber), m_layout);
        manager->onAnyHotkey = [this] { callbacks.append(QStringLiteral("any")); };
        manager->onHotkey = [this] { callbacks.append(QStringLiteral("hotkey")); };
        manager->onEscape = [this] { callbacks.append(QStringLiteral("escape")); };
        manager->onActionKey = [this](int n) {
            callbacks.append(QStringLiteral("action %1").arg(n));
        };
    }

    // Presses the combination and answers what the manager made of it.
    QStringList press(const HotkeyShortcut& combination)
    {
        callbacks.clear();
        desktop->press(combination);
        return callbacks;
    }

    FakeKeyboardLayout m_layout;
    ScopedLogCapture log;
    FakeKeyGrabber* desktop = nullptr;
    std::unique_ptr<HotkeyManager> manager;
    QStringList callbacks;
};

TEST_F(HotkeyManagerTest, TakesTheNewShortcutBeforeGivingBackTheOldAndTheSameOneOnce)
{
    ASSERT_TRUE(manager->registerShortcut(optionCommandT));
    ASSERT_TRUE(manager->registerShortcut(optionCommandT));
    ASSERT_TRUE(manager->registerShortcut(controlOptionY));

    EXPECT_EQ(desktop->calls, QStringList({"grab 1 ⌥⌘T", "grab 1 ⌃⌥Y", "release 1 ⌥⌘T"}));
    EXPECT_EQ(log.lines(),
              QStringList({"info hotkey: registered ⌥⌘T", "info hotkey: registered ⌃⌥Y"}));
    EXPECT_EQ(manager->current(), controlOptionY);
    EXPECT_TRUE(manager->hasRegisteredHotkey());
    EXPECT_EQ(press(controlOptionY), QStringList({"any", "hotkey"}));
    EXPECT_EQ(press(optionCommandT), QStringList());
}

TEST_F(HotkeyManagerTest, ARefusalKeepsWhatWorkedAndSaysWhy)
{
    struct Row {
        const char* name;
        std::optional<HotkeyShortcut> before;
        int status;
        const char* line;
    };
    const Row rows[] = {
        {"first attempt, held by another client", std::nullopt, 10,
         "error hotkey: RegisterEventHotKey(⌃⌥Y) failed: 10 — keeping none"},
        {"replacing, held by another client", optionCommandT, 10,
         "error hotkey: RegisterEventHotKey(⌃⌥Y) failed: 10 — keeping ⌥⌘T"},
        {"replacing, no desktop", optionCommandT, GlobalKeyGrabber::unavailable,
         "error hotkey: RegisterEventHotKey(⌃⌥Y) failed: -1 — keeping ⌥⌘T"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        makeManager();
        if (row.before) {
            ASSERT_TRUE(manager->registerShortcut(*row.before));
        }
        log.sink.clear();
        desktop->refuse(controlOptionY, row.status);

        EXPECT_FALSE(manager->registerShortcut(controlOptionY));

        EXPECT_EQ(log.lines(), QStringList({QString::fromUtf8(row.line)}));
        EXPECT_EQ(manager->current(), row.before);
        EXPECT_EQ(manager->hasRegisteredHotkey(), row.before.has_value());
        EXPECT_FALSE(desktop->calls.contains(QStringLiteral("release 1 ⌥⌘T")));
        if (row.before) {
            EXPECT_EQ(press(*row.before), QStringList({"any", "hotkey"}));
        }
    }
}

TEST_F(HotkeyManagerTest, ARefusedShortcutIsTriedAgainNextTime)
{
    ASSERT_TRUE(manager->registerShortcut(optionCommandT));
    desktop->refuse(controlOptionY);
    ASSERT_FALSE(manager->registerShortcut(controlOptionY));
    desktop->allow(controlOptionY);

    EXPECT_TRUE(manager->registerShortcut(controlOptionY));
    EXPECT_EQ(manager->current(), controlOptionY);
    EXPECT_EQ(press(controlOptionY), QStringList({"any", "hotkey"}));
}

TEST_F(HotkeyManagerTest, SuspendGivesTheShortcutBackUntilItIsRegisteredAgain)
{
    manager->suspend(); // before any shortcut: nothing to give back
    EXPECT_TRUE(desktop->calls.isEmpty());
    EXPECT_TRUE(log.lines().isEmpty());

    ASSERT_TRUE(manager->registerShortcut(optionCommandT));
    log.sink.clear();
    desktop->calls.clear();

    manager->suspend();
    EXPECT_EQ(desktop->calls, QStringList({"release 1 ⌥⌘T"}));
    EXPECT_EQ(log.lines(), QStringList({"info hotkey: suspended ⌥⌘T for recording"}));
    EXPECT_EQ(manager->current(), optionCommandT);
    EXPECT_FALSE(manager->hasRegisteredHotkey());
    EXPECT_EQ(press(optionCommandT), QStringList());

    // A second suspend has nothing to give back and says nothing.
    manager->suspend();
    EXPECT_EQ(desktop->calls, QStringList({"release 1 ⌥⌘T"}));
    EXPECT_EQ(log.lines().size(), 1);

    // Ending the recording with the unchanged shortcut takes it again.
    EXPECT_TRUE(manager->registerShortcut(optionCommandT));
    EXPECT_EQ(desktop->calls.last(), "grab 1 ⌥⌘T");
    EXPECT_EQ(log.lines().last(), "info hotkey: registered ⌥⌘T");
    EXPECT_EQ(press(optionCommandT), QStringList({"any", "hotkey"}));
}

TEST_F(HotkeyManagerTest, ARecordedShortcutThatIsRefusedLeavesTheSuspendedOneCurrent)
{
    ASSERT_TRUE(manager->registerShortcut(optionCommandT));
    manager->suspend();
    log.sink.clear();
    desktop->refuse(optionCommandG);

    EXPECT_FALSE(manager->registerShortcut(optionCommandG));
    EXPECT_EQ(log.lines(),
              QStringList({"error hotkey: RegisterEventHotKey(⌥⌘G) failed: 10 — keeping ⌥⌘T"}));
    EXPECT_EQ(manager->current(), optionCommandT);
    EXPECT_FALSE(manager->hasRegisteredHotkey());
    EXPECT_EQ(desktop->calls.filter(QStringLiteral("release")).size(), 1);
}

TEST_F(HotkeyManagerTest, SessionKeysAreEscapeAndOptionDigitsWithTheirIds)
{
    manager->registerSessionKeys();
    const QStringList taken{"grab 2 ⎋", "grab 10 ⌥1", "grab 11 ⌥2", "grab 12 ⌥3", "grab 13 ⌥4"};
    EXPECT_EQ(desktop->calls, taken);

    manager->registerSessionKeys();
    EXPECT_EQ(desktop->calls, taken);

    desktop->calls.clear();
    manager->unregisterSessionKeys();
    QStringList released = desktop->calls;
    released.sort();
    EXPECT_EQ(released, QStringList({"release 10 ⌥1", "release 11 ⌥2", "release 12 ⌥3",
                                     "release 13 ⌥4", "release 2 ⎋"}));

    desktop->calls.clear();
    manager->unregisterSessionKeys();
    EXPECT_TRUE(desktop->calls.isEmpty());
    manager->registerSessionKeys();
    EXPECT_EQ(desktop->calls, taken);
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(HotkeyManagerTest, ARefusedSessionKeyIsSkippedForThisSession)
{
    desktop->refuse(optionDigit(2));
    manager->registerSessionKeys();

    EXPECT_EQ(log.lines(),
              QStringList({"error hotkey: RegisterEventHotKey(session 11) failed: 10"}));
    EXPECT_EQ(press(optionDigit(2)), QStringList());
    EXPECT_EQ(press(optionDigit(3)), QStringList({"any", "action 3"}));
    EXPECT_EQ(press(escape), QStringList({"any", "escape"}));
}

TEST_F(HotkeyManagerTest, EveryPressCallsOnAnyHotkeyFirst)
{
    ASSERT_TRUE(manager->registerShortcut(optionCommandT));
    const std::pair<HotkeyShortcut, QStringList> rows[] = {
        {optionCommandT, {"any", "hotkey"}},
        {escape, {"any", "escape"}},
        {optionDigit(1), {"any", "action 1"}},
        {optionDigit(4), {"any", "action 4"}},
    };

    // Without the session keys only the main shortcut arrives.
    for (const auto& [combination, expected] : rows) {
        SCOPED_TRACE(combination.displayString(m_layout).toStdString());
        EXPECT_EQ(press(combination), combination == optionCommandT ? expected : QStringList());
    }

    manager->registerSessionKeys();
    for (const auto& [combination, expected] : rows) {
        SCOPED_TRACE(combination.displayString(m_layout).toStdString());
        EXPECT_EQ(press(combination), expected);
    }

    manager->unregisterSessionKeys();
    EXPECT_EQ(press(escape), QStringList());
    EXPECT_EQ(press(optionDigit(1)), QStringList());
}

TEST_F(HotkeyManagerTest, CallbacksThatAreNotSetAreSkipped)
{
    manager->onAnyHotkey = nullptr;
    manager->onActionKey = nullptr;
    ASSERT_TRUE(manager->registerShortcut(optionCommandT));
    manager->registerSessionKeys();

    EXPECT_EQ(press(optionCommandT), QStringList({"hotkey"}));
    EXPECT_EQ(press(optionDigit(1)), QStringList());
}

TEST(HotkeyManagerPanelKeys, AreExactlyTheCombinationsTheShortcutRuleReserves)
{
    FakeKeyboardLayout m_layout;
    QList<uint32_t> ids;
    for (const HotkeyManager::PanelKey& key : HotkeyManager::panelKeys()) {
        SCOPED_TRACE(key.id);
        ids.append(key.id);
        const auto rejection = key.shortcut.rejection(m_layout);
        ASSERT_TRUE(rejection.has_value());
        EXPECT_EQ(rejection->kind, HotkeyShortcut::Rejection::Kind::reservedByPanel);
    }
    EXPECT_EQ(ids, QList<uint32_t>({2, 10, 11, 12, 13}));
}

} // namespace
