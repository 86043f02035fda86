// SPDX-License-Identifier: MIT
// The built-in hotkey self-test against the real hotkey manager over a fake desktop, on which
// the self-test's rival competes with the manager for keys as another application would.
#include "input/BuiltInHotkeySelfTest.h"
#include "input/HotkeyManager.h"
#include "settings/Preferences.h"
#include "settings/UserDefaults.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeKeyGrabber.h"
#include "support/fakes/FakeKeyboardLayout.h"

#include <gtest/gtest.h>

namespace {

const HotkeyShortcut optionCommandT{17, 0x900};
const HotkeyShortcut controlOptionF13{105, 0x1800};

// Another application on the same desktop: what it holds, the manager's grabber is refused.
class RivalGrabber final : public GlobalKeyGrabber {
public:
    RivalGrabber(FakeKeyGrabber& desktop, QStringList& calls)
        : m_desktop(desktop)
        , m_calls(calls)
    {}

    Grab grab(uint32_t id, const HotkeyShortcut& combination) override
    {
        m_calls.append(
            QStringLiteral("rival grab %1 %2")
                .arg(QString::number(id), combination.displayString(m_desktop.layout())));
        if (m_desktop.holds(combination))
            return {heldElsewhere, 0};
        m_desktop.refuse(combination);
        m_held = combination;
        return {ok, 7};
    }
    void release(Handle handle) override
    {
        m_calls.append(QStringLiteral("rival release %1").arg(QString::number(handle)));
        if (handle == 7 && m_held)
            m_desktop.allow(*m_held);
        m_held.reset();
    }

private:
    FakeKeyGrabber& m_desktop;
    QStringList& m_calls;
    std::optional<HotkeyShortcut> m_held;
};

class HotkeySelfTestTest : public ::testing::Test {
protected:
    HotkeySelfTestTest()
    {
        for (auto [keyCode, text] :
             {std::pair{17u, "t"}, {5u, "g"}, {12u, "q"}, {18u, "1"}, {21u, "4"}, {23u, "5"}})
            layout.setText(keyCode, QString::fromUtf8(text));
        auto owned = std::make_unique<FakeKeyGrabber>(layout);
        desktop = owned.get();
        manager.emplace(std::move(owned), layout);
    }

    // Runs the self-test with the "hotkeySelfTest" default on, after the manager took ⌥⌘T;
    // answers the lines it logged.
    QStringList run(const BuiltInHotkeySelfTest::GrabberFactory& makeRival)
    {
        Preferences::setFlag(DefaultsKey::hotkeySelfTest, true);
        EXPECT_TRUE(manager->registerShortcut(optionCommandT));
        desktop->calls.clear();
        log.sink.clear();
        BuiltInHotkeySelfTest selfTest(makeRival, layout);
        selfTest.runIfRequested(*manager);
        return log.lines();
    }

    BuiltInHotkeySelfTest::GrabberFactory rivalOnThisDesktop()
    {
        return [this] { return std::make_unique<RivalGrabber>(*desktop, rivalCalls); };
    }

    ScopedConfigHome home;
    ScopedLogCapture log;
    FakeKeyboardLayout layout;
    FakeKeyGrabber* desktop = nullptr;
    std::optional<HotkeyManager> manager;
    QStringList rivalCalls;
};

TEST_F(HotkeySelfTestTest, doesNothingUnlessAskedFor)
{
    for (const std::optional<bool> flag : {std::optional<bool>(), std::optional<bool>(false)}) {
        if (flag)
            Preferences::setFlag(DefaultsKey::hotkeySelfTest, *flag);
        bool rivalMade = false;
        BuiltInHotkeySelfTest selfTest(
            [&] {
                rivalMade = true;
                return std::make_unique<FakeKeyGrabber>(layout);
            },
            layout);
        selfTest.runIfRequested(*manager);
        EXPECT_FALSE(rivalMade);
        EXPECT_TRUE(desktop->calls.isEmpty());
        EXPECT_TRUE(log.lines().isEmpty());
    }
}

TEST_F(HotkeySelfTestTest, everyCheckPassesAndThePreviousShortcutIsBackAfterwards)
{
    const QStringList lines = run(rivalOnThisDesktop());

    QStringList names;
    QStringList others;
    for (const QString& line : lines) {
        if (line.startsWith(QStringLiteral("info hotkey: selftest PASS ")))
            names.append(line.section(u' ', 4, 4));
        else if (!line.contains(QStringLiteral("selftest")))
            others.append(line);
    }
    // Every check of the self-test's own list passed; the list itself is the self-test's.
    EXPECT_EQ(names.size(), 37);
    EXPECT_EQ(lines.filter(QStringLiteral("selftest FAIL")), QStringList());
    EXPECT_EQ(lines.first(), "info hotkey: selftest start");
    EXPECT_EQ(lines.last(), "info hotkey: selftest done — 0 failure(s)");
    EXPECT_EQ(lines.filter(QStringLiteral("selftest")).size(), names.size() + 2);
    // The manager's own lines, in between, tell the same story.
    EXPECT_EQ(others,
              (QStringList{"error hotkey: RegisterEventHotKey(⌃⌥F13) failed: 10 — keeping ⌥⌘T",
                           "info hotkey: registered ⌃⌥F13", "info hotkey: registered ⌥⌘T"}));

    // The manager was refused while the rival held ⌃⌥F13, took it once it was free, and
    // went back to ⌥⌘T, taking it before letting ⌃⌥F13 go.
    EXPECT_EQ(rivalCalls, (QStringList{"rival grab 20820 ⌃⌥F13", "rival release 7"}));
    EXPECT_EQ(desktop->calls, (QStringList{"grab 1 ⌃⌥F13", "grab 1 ⌃⌥F13", "release 1 ⌥⌘T",
                                           "grab 1 ⌥⌘T", "release 1 ⌃⌥F13"}));
    EXPECT_EQ(manager->current(), optionCommandT);
    EXPECT_TRUE(desktop->holds(optionCommandT));
    EXPECT_FALSE(desktop->holds(controlOptionF13));
}

TEST_F(HotkeySelfTestTest, aRivalThatCannotTakeTheKeyEndsTheConflictChecks)
{
    const QStringList lines = run([this] {
        auto crowded = std::make_unique<FakeKeyGrabber>(layout);
        crowded->refuse(controlOptionF13, 10);
        return crowded;
    });

    EXPECT_EQ(lines.mid(lines.size() - 2),
              (QStringList{"error hotkey: selftest FAIL conflict/decoy could not take ⌃⌥F13 "
                           "(status 10)",
                           "info hotkey: selftest done — 1 failure(s)"}));
    EXPECT_TRUE(desktop->calls.isEmpty());
    EXPECT_EQ(manager->current(), optionCommandT);
}

TEST_F(HotkeySelfTestTest, aRegistrarBlindToOtherApplicationsFailsTheConflictChecks)
{
    // The rival grabs on a desktop of its own, so the manager is never refused.
    const QStringList lines = run([this] { return std::make_unique<FakeKeyGrabber>(layout); });

    const QStringList failures = lines.filter(QStringLiteral("FAIL"));
    EXPECT_EQ(failures,
              (QStringList{
                  "error hotkey: selftest FAIL conflict/refused register(⌃⌥F13) returned true",
                  "error hotkey: selftest FAIL conflict/previous-kept current = ⌃⌥F13 (was ⌥⌘T)"}));
    EXPECT_EQ(lines.last(), "info hotkey: selftest done — 2 failure(s)");
    EXPECT_EQ(manager->current(), optionCommandT);
}

} // namespace
