// SPDX-License-Identifier: MIT
#include "ui/settings/HotkeySection.h"
#include "settings/Preferences.h"
#include "ui/settings/SettingsTestFixture.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

using namespace KeyScript;

namespace {

const HotkeyShortcut optionCommandT = HotkeyShortcut::defaultShortcut();
const HotkeyShortcut controlOptionK{40, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit};

class HotkeySectionTest : public SettingsTestFixture {
protected:
    HotkeySection& makeSection(bool withCallback = true)
    {
        section = std::make_unique<HotkeySection>(recordingOwner(withCallback), layout.layout);
        return *section;
    }

    void choose(DoubleTapModifier modifier)
    {
        QComboBox& picker = section->doubleTapPicker();
        const int index = picker.findData(rawValue(modifier));
        picker.setCurrentIndex(index);
        emit picker.activated(index);
    }

    // Declared before the section, which it may hold, so the section goes first.
    QWidget window;
    std::unique_ptr<HotkeySection> section;
};

TEST_F(HotkeySectionTest, RecordingExplainsEveryRefusalAndKeepsTheShortcut)
{
    struct Row {
        const char* name;
        HotkeyShortcut recorded;
        bool systemAccepts;
        bool withCallback;
        QString error;
    };
    const QString taken =
        QStringLiteral("Already used by another application: Ctrl+Alt+K. Still using Alt+Super+T.");
    const QList<Row> rows = {
        {"one of the panel's row keys", HotkeyShortcut{18, HotkeyShortcut::optionBit}, true, true,
         "Alt+1 belongs to the Quillmark panel's own row shortcuts while it is open."},
        {"super and shift only",
         HotkeyShortcut{40, HotkeyShortcut::commandBit | HotkeyShortcut::shiftBit}, true, true,
         "Shift+Super+K belongs to the desktop's own shortcuts. Add Alt or Ctrl, such as "
         "Alt+Super+K."},
        {"taken by another application", controlOptionK, false, true, taken},
        {"nobody to register it", controlOptionK, true, false, taken},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Preferences::setHotkeyShortcut(optionCommandT);
        systemAccepts = row.systemAccepts;
        HotkeySection& hotkey = makeSection(row.withCallback);
        EXPECT_NE(hotkey.recorderCaption(), row.error);
        EXPECT_EQ(hotkey.record(row.recorded), row.error);
        EXPECT_EQ(hotkey.recorderCaption(), row.error);
        EXPECT_EQ(hotkey.hotkeyShortcut(), optionCommandT);
        EXPECT_EQ(Preferences::hotkeyShortcut(), optionCommandT);
    }
}

TEST_F(HotkeySectionTest, AnAcceptedShortcutIsStoredShownAndClearsTheError)
{
    HotkeySection& hotkey = makeSection();
    ASSERT_TRUE(hotkey.record({40, HotkeyShortcut::commandBit}).has_value());
    EXPECT_EQ(hotkey.record(controlOptionK), std::nullopt);
    EXPECT_EQ(hotkey.hotkeyError(), std::nullopt);
    EXPECT_EQ(Preferences::hotkeyShortcut(), controlOptionK);
    EXPECT_EQ(calls, QStringList{"register ⌃⌥K"});

    // Starting the recorder clears an error.
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
              QStringLiteral("Already used by another application: Alt+Super+T. Still using "
                             "Ctrl+Alt+K."));
    EXPECT_EQ(Preferences::hotkeyShortcut(), controlOptionK);

    systemAccepts = true;
    hotkey.resetButton().click();
    EXPECT_EQ(calls, QStringList({"register ⌥⌘T", "register ⌥⌘T"}));
    EXPECT_EQ(Preferences::hotkeyShortcut(), optionCommandT);
    EXPECT_EQ(hotkey.recorder().displayTitle(), QStringLiteral("Alt+Super+T"));
    EXPECT_EQ(hotkey.hotkeyError(), std::nullopt);
}

// The line under the picker names the key to tap, or what the watcher still waits for.
TEST_F(HotkeySectionTest, TheDoubleTapLineFollowsTheChoiceAndTheWatcher)
{
    const char* warning = "Needs the X server's XInput and XTEST extensions first.";
    const struct {
        DoubleTapModifier modifier;
        bool waiting;
        const char* line; // a part of it
    } rows[] = {
        {DoubleTapModifier::off, false, "Pick a modifier to tap twice"},
        {DoubleTapModifier::off, true, "Pick a modifier to tap twice"},
        {DoubleTapModifier::option, false, "Tap Alt twice"},
        {DoubleTapModifier::command, false, "Tap Super twice"},
        {DoubleTapModifier::control, false, "Tap Ctrl twice"},
        {DoubleTapModifier::shift, false, "Tap Shift twice"},
        {DoubleTapModifier::option, true, warning},
        {DoubleTapModifier::shift, true, warning},
    };
    HotkeySection& hotkey = makeSection();
    for (const auto& row : rows) {
        SCOPED_TRACE(rawValue(row.modifier).toStdString() + (row.waiting ? " waiting" : ""));
        doubleTap.setWaiting(row.waiting);
        const qsizetype before = doubleTap.calls().size();
        choose(row.modifier);
        EXPECT_TRUE(hotkey.doubleTapHint().contains(QString::fromUtf8(row.line)))
            << hotkey.doubleTapHint().toStdString();
        EXPECT_EQ(hotkey.isShowingAccessibilityWarning(), row.line == warning);
        EXPECT_EQ(Preferences::doubleTapModifier(), row.modifier);
        EXPECT_EQ(doubleTap.calls().mid(before),
                  QStringList{"apply(" + rawValue(row.modifier) + ")"});
    }
    // The warning comes and goes with the watcher alone; its button opens the settings.
    doubleTap.setWaiting(false);
    EXPECT_FALSE(hotkey.isShowingAccessibilityWarning());
    doubleTap.setWaiting(true);
    EXPECT_TRUE(hotkey.isShowingAccessibilityWarning());
    hotkey.openSettingsButton().click();
    EXPECT_EQ(accessibility.calls(), QStringList{"openSystemSettings"});
}

} // namespace
