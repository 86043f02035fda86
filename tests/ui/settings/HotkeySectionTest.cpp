// SPDX-License-Identifier: MIT
#include "ui/settings/HotkeySection.h"
#include "settings/Preferences.h"
#include "support/fakes/FakeCommandKeybinding.h"
#include "ui/settings/SettingsTestFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace KeyScript;

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
        section = std::make_unique<HotkeySection>(std::move(owner), layout.layout, preferences);
        return *section;
    }

    // Declared before the section, which it may hold, so the section goes first.
    FakeCommandKeybinding gnome;
    std::unique_ptr<HotkeySection> section;
};

// A refusal, by the rule or by the system, is shown and keeps the shortcut; an accepted one
// is stored and clears the error.
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
        EXPECT_EQ(preferences.hotkeyShortcut(), optionCommandT);
    }
    calls.clear();
    HotkeySection& hotkey = makeSection();
    ASSERT_TRUE(hotkey.record({40, HotkeyShortcut::commandBit}).has_value());
    EXPECT_EQ(hotkey.record(controlOptionK), std::nullopt);
    EXPECT_EQ(hotkey.hotkeyError(), std::nullopt);
    EXPECT_EQ(preferences.hotkeyShortcut(), controlOptionK);
    EXPECT_EQ(calls, QStringList{"register ⌃⌥K"});
}

// The chosen modifier is stored and handed to the watcher; the warning comes and goes with
// the watcher alone, and its button opens the settings.
TEST_F(HotkeySectionTest, TheDoubleTapChoiceIsAppliedAndTheWarningFollowsTheWatcher)
{
    HotkeySection& hotkey = makeSection();
    QComboBox& picker = hotkey.doubleTapPicker();
    picker.setCurrentIndex(picker.findData(QStringLiteral("shift")));
    emit picker.activated(picker.currentIndex());
    EXPECT_EQ(preferences.doubleTapModifier(), DoubleTapModifier::shift);
    EXPECT_EQ(doubleTap.calls(), QStringList{"apply(shift)"});
    EXPECT_TRUE(hotkey.doubleTapHint().contains("Tap Shift twice"))
        << hotkey.doubleTapHint().toStdString();
    doubleTap.setWaiting(true);
    EXPECT_TRUE(hotkey.isShowingAccessibilityWarning());
    hotkey.openSettingsButton().click();
    EXPECT_EQ(accessibility.calls(), QStringList{"openSystemSettings"});
    doubleTap.setWaiting(false);
    EXPECT_FALSE(hotkey.isShowingAccessibilityWarning());
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
    } rows[] = {
        // clang-format off
        {Home::sway, "Add this line to your sway configuration, then reload sway (Super+Shift+C):", "bindsym Mod4+Ctrl+Mod1+k exec quillmark trigger"},
        {Home::none, "Bind this command to Ctrl+Alt+Super+K in your desktop's keyboard settings:", "quillmark trigger"},
        {Home::gnome, "Not in GNOME's keyboard shortcuts yet", ""},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        HotkeySection& hotkey = makeSection(true, row.home);
        EXPECT_EQ(hotkey.record({40, 0x1900}), std::nullopt);
        EXPECT_EQ(hotkey.desktopOffer().text(), row.text);
        EXPECT_EQ(hotkey.desktopOffer().line(), row.line);
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

// The recorder in a window beside another field, with a host that judges combinations by the
// shortcut rule, as the settings window does, and writes down every call it gets.
class ShortcutRecorderTest : public SettingsTestFixture {
protected:
    ShortcutRecorderTest()
    {
        auto* column = new QVBoxLayout(&window);
        column->addWidget(field = state().makeView(&window));
        column->addWidget(other = new QLineEdit(&window));
        window.show();
    }

    ShortcutRecorder state()
    {
        return {layout.layout, shortcut,
                [this](const HotkeyShortcut& recorded) -> std::optional<QString> {
                    calls.append("record " + recorded.displayString(layout.layout));
                    if (const auto rejection = recorded.rejection(layout.layout))
                        return rejection->message();
                    shortcut = recorded;
                    return std::nullopt;
                },
                [this](bool on) { calls.append(on ? "recording" : "stopped"); }};
    }
    void click() { QTest::mouseClick(field, Qt::LeftButton); }

    HotkeyShortcut shortcut = controlOptionK;
    QWidget window;
    ShortcutRecorderView* field = nullptr;
    QLineEdit* other = nullptr;
};

// One key event: pressed (or released) with these modifiers held before it.
struct Step {
    bool down;
    Key key;
    Qt::KeyboardModifiers held = Qt::NoModifier;
    bool repeat = false;
};

// Each row is a key script typed after a click on the field, and what the field shows then,
// whether it still records and what the host was told, in order.
TEST_F(ShortcutRecorderTest, FollowsTheKeysTypedWhileRecording)
{
    const auto down = [](Key key, Qt::KeyboardModifiers held = {}) {
        return Step{true, key, held};
    };
    const auto up = [](Key key, Qt::KeyboardModifiers held) { return Step{false, key, held}; };
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, meta = Qt::MetaModifier;
    const Qt::KeyboardModifiers ctrlAlt = ctrl | Qt::AltModifier;
    const Qt::KeyboardModifiers metaShift = meta | Qt::ShiftModifier;
    const auto keys = [](auto... steps) { return QList<Step>{steps...}; };
    const QList<Step> refused = keys(down(super), down(shift, meta), down(keyK, metaShift));
    const struct {
        const char* name;
        QString title;
        bool recording;
        QString calls;
        QList<Step> steps;
    } scripts[] = {
        // clang-format off
        {"held modifiers show by name", "Ctrl+Alt+…", true, "recording", keys(down(control), down(alt, ctrl))},
        {"releasing them shows the prompt again", "Press keys…", true, "recording", keys(down(control), down(alt, ctrl), up(alt, ctrlAlt), up(control, ctrl))},
        {"super counts although Qt reports the state before the press", "Super+…", true, "recording", keys(down(super))},
        {"a refused combination keeps recording with the modifiers cleared", "Press keys…", true, "recording, record ⇧⌘K", refused},
        {"releasing the refused keys ends at the prompt", "Press keys…", true, "recording, record ⇧⌘K", refused + keys(up(keyK, metaShift), up(shift, metaShift), up(super, meta))},
        {"escape alone cancels without recording anything", "Ctrl+Alt+K", false, "recording, stopped", keys(down(escape))},
        {"shift escape does not cancel", "Press keys…", true, "recording, record ⇧⎋", keys(down(escape, Qt::ShiftModifier))},
        {"an accepted combination ends recording", "Ctrl+Alt+K", false, "recording, record ⌃⌥K, stopped", keys(down(keyK, ctrlAlt))},
        {"return is recorded like any key", "Ctrl+Super+Enter", false, "recording, record ⌃⌘↩, stopped", keys(down(returnKey, ctrl | meta))},
        {"backspace alone asks for the default", "Alt+Super+T", false, "recording, record ⌥⌘T, stopped", keys(down(backspace))},
        {"ctrl backspace is an ordinary combination", "Press keys…", true, "recording, record ⌃⌫", keys(down(backspace, ctrl))},
        {"a repeating key asks once", "Press keys…", true, "recording, record ⌘K", keys(down(keyK, meta), Step{true, keyK, meta, true})},
        // clang-format on
    };
    for (const auto& script : scripts) {
        SCOPED_TRACE(script.name);
        calls.clear();
        shortcut = controlOptionK;
        state().update(*field);
        click();
        ASSERT_TRUE(field->isRecording());
        for (const Step& step : script.steps)
            send(field, step.down ? QEvent::KeyPress : QEvent::KeyRelease, step.key, step.held,
                 step.repeat);
        // The host hands the field its state again after each change, as the windows do.
        if (!field->isRecording())
            state().update(*field);
        EXPECT_EQ(field->displayTitle(), script.title);
        EXPECT_EQ(field->isRecording(), script.recording);
        EXPECT_EQ(calls.join(QStringLiteral(", ")), script.calls);
        if (field->isRecording())
            click();
    }
}

// Keys while recording are the recorder's, even those sent to another widget or claimed as
// window shortcuts; once idle they go where they always go.
TEST_F(ShortcutRecorderTest, KeysWhileRecordingReachNothingElse)
{
    click();
    press(other, keyT, Qt::MetaModifier);
    EXPECT_EQ(other->text(), QString());
    EXPECT_EQ(calls.last(), QStringLiteral("record ⌘T"));
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Return, Qt::NoModifier, 36, 0, 0);
    override.ignore();
    QApplication::sendEvent(other, &override);
    EXPECT_TRUE(override.isAccepted());
    click();
    QTest::keyClicks(other, QStringLiteral("ok"));
    EXPECT_EQ(other->text(), QStringLiteral("ok"));
}

} // namespace
