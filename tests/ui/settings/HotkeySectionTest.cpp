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
    const QString hint = QStringLiteral(
        "Click the field and press a new combination of at least two of Ctrl, Alt and Super — "
        "Ctrl, Alt or Super alone with a key belongs to the application in front or the "
        "desktop. Backspace puts the default back.");
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
        EXPECT_EQ(hotkey.recorderCaption(), hint);
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

    // Starting the recorder clears an error; what it records reaches the owner.
    calls.clear();
    hotkey.setParent(&window);
    window.show();
    ASSERT_TRUE(hotkey.record({40, HotkeyShortcut::commandBit}).has_value());
    QTest::mouseClick(&hotkey.recorder(), Qt::LeftButton);
    EXPECT_EQ(hotkey.hotkeyError(), std::nullopt);
    press(&hotkey.recorder(), keyK, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(calls, QStringList({"recording", "register ⌃⌥K", "stopped"}));
    EXPECT_EQ(hotkey.recorder().displayTitle(), QStringLiteral("Ctrl+Alt+K"));
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

TEST_F(HotkeySectionTest, TheDoubleTapLineFollowsTheChoiceAndTheWatcher)
{
    const QString offHint = QStringLiteral(
        "Prefer one hand? Pick a modifier to tap twice instead of pressing a chord. The "
        "combination above keeps working either way.");
    const auto tapHint = [](const char* glyph) {
        return QStringLiteral("Tap %1 twice quickly, with nothing else held. Holding it, or "
                              "pressing any key with it, is ignored.")
            .arg(QString::fromUtf8(glyph));
    };
    const QString warning =
        QStringLiteral("Needs the X server's XInput and XTEST extensions first.");
    struct Row {
        DoubleTapModifier modifier;
        bool waiting;
        QString line;
    };
    const QList<Row> rows = {
        {DoubleTapModifier::off, false, offHint},
        {DoubleTapModifier::off, true, offHint},
        {DoubleTapModifier::option, false, tapHint("Alt")},
        {DoubleTapModifier::command, false, tapHint("Super")},
        {DoubleTapModifier::control, false, tapHint("Ctrl")},
        {DoubleTapModifier::shift, false, tapHint("Shift")},
        {DoubleTapModifier::option, true, warning},
        {DoubleTapModifier::shift, true, warning},
    };
    HotkeySection& hotkey = makeSection();
    for (const Row& row : rows) {
        SCOPED_TRACE(rawValue(row.modifier).toStdString() + (row.waiting ? " waiting" : ""));
        doubleTap.setWaiting(row.waiting);
        const qsizetype before = doubleTap.calls().size();
        choose(row.modifier);
        EXPECT_EQ(hotkey.doubleTapHint(), row.line);
        EXPECT_EQ(hotkey.isShowingAccessibilityWarning(), row.line == warning);
        EXPECT_EQ(Preferences::doubleTapModifier(), row.modifier);
        EXPECT_EQ(doubleTap.calls().mid(before),
                  QStringList{"apply(" + rawValue(row.modifier) + ")"});
    }
}

TEST_F(HotkeySectionTest, TheWarningComesAndGoesWithTheWatcherAndOpensTheSettings)
{
    Preferences::setDoubleTapModifier(DoubleTapModifier::option);
    HotkeySection& hotkey = makeSection();
    EXPECT_FALSE(hotkey.isShowingAccessibilityWarning());
    doubleTap.setWaiting(true);
    EXPECT_TRUE(hotkey.isShowingAccessibilityWarning());
    hotkey.openSettingsButton().click();
    EXPECT_EQ(accessibility.calls(), QStringList{"openSystemSettings"});
    doubleTap.setWaiting(false);
    EXPECT_FALSE(hotkey.isShowingAccessibilityWarning());
}

} // namespace
