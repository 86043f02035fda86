// SPDX-License-Identifier: MIT
#include "ui/settings/HotkeySection.h"
#include "settings/Preferences.h"
#include "support/fakes/FakeCommandKeybinding.h"
#include "ui/settings/SettingsTestFixture.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

namespace {

const HotkeyShortcut optionCommandT = HotkeyShortcut::defaultShortcut();
const HotkeyShortcut controlOptionK{40, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit};

class HotkeySectionTest : public SettingsTestFixture {
protected:
    // Without the callback nobody registers shortcuts; with a home the desktop holds the key
    // and runs `quillmark trigger` on its own keybinding.
    HotkeySection& makeSection(bool withCallback = true,
                               DesktopShortcut::Home home = DesktopShortcut::Home::quillmark)
    {
        HotkeySection::Owner owner = recordingOwner(withCallback);
        if (home != DesktopShortcut::Home::quillmark)
            owner.desktop = {home,
                             &gnome,
                             {"quillmark", "trigger"},
                             [this](const QString& text) { calls.append("copy " + text); },
                             false};
        section = std::make_unique<HotkeySection>(std::move(owner), layout.layout);
        return *section;
    }

    // Declared before the section, which it may hold, so the section goes first.
    FakeCommandKeybinding gnome;
    QWidget window;
    std::unique_ptr<HotkeySection> section;
};

// A refusal, by the rule or by the system, is shown and keeps the shortcut; an accepted one
// is stored and clears the error, as does starting the recorder.
TEST_F(HotkeySectionTest, RecordingExplainsEveryRefusalAndKeepsTheShortcut)
{
    const QString taken =
        "Already used by another application: Ctrl+Alt+K. Still using Alt+Super+T.";
    const struct {
        HotkeyShortcut recorded;
        bool systemAccepts;
        bool withCallback;
        QString error;
    } rows[] = {
        // clang-format off
        {{18, HotkeyShortcut::optionBit}, true, true, "Alt+1 belongs to the Quillmark panel's own row shortcuts while it is open."},
        {controlOptionK, false, true, taken},
        {controlOptionK, true, false, taken}, // nobody to register it
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.error.toStdString());
        systemAccepts = row.systemAccepts;
        HotkeySection& hotkey = makeSection(row.withCallback);
        EXPECT_NE(hotkey.recorderCaption(), row.error);
        EXPECT_EQ(hotkey.record(row.recorded), row.error);
        EXPECT_EQ(hotkey.recorderCaption(), row.error);
        EXPECT_EQ(hotkey.hotkeyShortcut(), optionCommandT);
        EXPECT_EQ(Preferences::hotkeyShortcut(), optionCommandT);
    }
    calls.clear();
    HotkeySection& hotkey = makeSection();
    ASSERT_TRUE(hotkey.record({40, HotkeyShortcut::commandBit}).has_value());
    EXPECT_EQ(hotkey.record(controlOptionK), std::nullopt);
    EXPECT_EQ(hotkey.hotkeyError(), std::nullopt);
    EXPECT_EQ(Preferences::hotkeyShortcut(), controlOptionK);
    EXPECT_EQ(calls, QStringList{"register ⌃⌥K"});

    hotkey.setParent(&window);
    window.show();
    ASSERT_TRUE(hotkey.record({40, HotkeyShortcut::commandBit}).has_value());
    QTest::mouseClick(&hotkey.recorder(), Qt::LeftButton);
    EXPECT_EQ(hotkey.hotkeyError(), std::nullopt);
}

TEST_F(HotkeySectionTest, ResetPutsTheDefaultBackOnlyWhenTheSystemTakesIt)
{
    Preferences::setHotkeyShortcut(controlOptionK);
    HotkeySection& hotkey = makeSection();
    systemAccepts = false;
    hotkey.resetButton().click();
    EXPECT_EQ(hotkey.recorderCaption(),
              "Already used by another application: Alt+Super+T. Still using Ctrl+Alt+K.");
    EXPECT_EQ(Preferences::hotkeyShortcut(), controlOptionK);

    systemAccepts = true;
    hotkey.resetButton().click();
    EXPECT_EQ(calls, QStringList({"register ⌥⌘T", "register ⌥⌘T"}));
    EXPECT_EQ(Preferences::hotkeyShortcut(), optionCommandT);
    EXPECT_EQ(hotkey.recorder().displayTitle(), QStringLiteral("Alt+Super+T"));
    EXPECT_EQ(hotkey.hotkeyError(), std::nullopt);
}

// The line under the picker names the key to tap, or what the watcher still waits for; the
// warning comes and goes with the watcher alone, and its button opens the settings.
TEST_F(HotkeySectionTest, TheDoubleTapLineFollowsTheChoiceAndTheWatcher)
{
    const char* warning = "Needs the X server's XInput and XTEST extensions first.";
    const struct {
        DoubleTapModifier modifier;
        bool waiting;
        const char* line; // a part of it
    } rows[] = {
        {DoubleTapModifier::off, true, "Pick a modifier to tap twice"},
        {DoubleTapModifier::option, false, "Tap Alt twice"},
        {DoubleTapModifier::command, false, "Tap Super twice"},
        {DoubleTapModifier::shift, true, warning},
    };
    HotkeySection& hotkey = makeSection();
    QComboBox& picker = hotkey.doubleTapPicker();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        doubleTap.setWaiting(row.waiting);
        const qsizetype before = doubleTap.calls().size();
        picker.setCurrentIndex(picker.findData(rawValue(row.modifier)));
        emit picker.activated(picker.currentIndex());
        EXPECT_TRUE(hotkey.doubleTapHint().contains(QString::fromUtf8(row.line)))
            << hotkey.doubleTapHint().toStdString();
        EXPECT_EQ(hotkey.isShowingAccessibilityWarning(), row.line == warning);
        EXPECT_EQ(Preferences::doubleTapModifier(), row.modifier);
        EXPECT_EQ(doubleTap.calls().mid(before),
                  QStringList{"apply(" + rawValue(row.modifier) + ")"});
    }
    doubleTap.setWaiting(false);
    EXPECT_FALSE(hotkey.isShowingAccessibilityWarning());
    doubleTap.setWaiting(true);
    EXPECT_TRUE(hotkey.isShowingAccessibilityWarning());
    hotkey.openSettingsButton().click();
    EXPECT_EQ(accessibility.calls(), QStringList{"openSystemSettings"});
}

// Where the desktop holds the shortcut, the section says what its settings need, for the
// combination in force; double tap, X11-only, is not offered there.
TEST_F(HotkeySectionTest, TheDesktopsOwnShortcutFollowsTheRecordedCombination)
{
    using Home = DesktopShortcut::Home;
    const struct {
        Home home;
        const char* text;
        const char* line; // after recording Ctrl+Alt+Super+K
        const char* button;
    } rows[] = {
        // clang-format off
        {Home::sway, "Add this line to your sway configuration, then reload sway (Super+Shift+C):", "bindsym Mod4+Ctrl+Mod1+k exec quillmark trigger", "Copy"},
        {Home::none, "Bind this command to Ctrl+Alt+Super+K in your desktop's keyboard settings:", "quillmark trigger", "Copy"},
        {Home::gnome, "Not in GNOME's keyboard shortcuts yet", "", "Add to GNOME's Shortcuts"},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        HotkeySection& hotkey = makeSection(true, row.home);
        EXPECT_EQ(hotkey.record({40, 0x1900}), std::nullopt);
        EXPECT_EQ(hotkey.desktopOffer().text(), row.text);
        EXPECT_EQ(hotkey.desktopOffer().line(), row.line);
        EXPECT_EQ(hotkey.desktopOffer().button().text(), row.button);
        EXPECT_EQ(hotkey.doubleTapHint(), "Double tap works in X11 sessions only.");
        if (row.home != Home::gnome) {
            hotkey.desktopOffer().button().click();
            EXPECT_EQ(calls.last(), QStringLiteral("copy ") + row.line);
        }
    }
    EXPECT_TRUE(gnome.calls.isEmpty()) << "an entry that does not exist was updated";
    EXPECT_TRUE(makeSection().desktopOffer().isHidden()) << "Quillmark holds the key itself";
}

// GNOME's entry is added, follows the recorded combination and is removed from the section; a
// refused update keeps the recorded combination for Quillmark and says so.
TEST_F(HotkeySectionTest, GnomesEntryIsAddedUpdatedAndRemovedFromTheSection)
{
    DesktopShortcutOffer& offer = makeSection(true, DesktopShortcut::Home::gnome).desktopOffer();
    offer.button().click();
    EXPECT_EQ(offer.text(), "In GNOME's keyboard shortcuts: Alt+Super+T");
    EXPECT_EQ(offer.button().text(), "Remove from GNOME's Shortcuts");
    EXPECT_EQ(section->record(controlOptionK), std::nullopt);
    gnome.accepts = false;
    EXPECT_EQ(section->record(optionCommandT),
              "GNOME's keyboard shortcuts did not take Alt+Super+T.");
    EXPECT_EQ(offer.text(), "In GNOME's keyboard shortcuts: Ctrl+Alt+K");
    offer.button().click();
    EXPECT_EQ(offer.text(), "Not in GNOME's keyboard shortcuts yet");
    EXPECT_EQ(gnome.calls,
              QStringList({"set(17/900, quillmark trigger)", "set(40/1800, quillmark trigger)",
                           "set(17/900, quillmark trigger)", "remove"}));
}

} // namespace
