// SPDX-License-Identifier: MIT
#include "ui/recorder/ShortcutRecorder.h"
#include "ui/settings/KeyScript.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace KeyScript;

namespace {

const HotkeyShortcut controlOptionK{40, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit};

// A host that judges combinations by the shortcut rule, as the settings window does, and
// writes down every call it gets.
struct RecordingHost {
    KeyCharacters& layout;
    QStringList calls;
    HotkeyShortcut shortcut = controlOptionK;

    ShortcutRecorder state()
    {
        return {layout, shortcut,
                [this](const HotkeyShortcut& recorded) -> std::optional<QString> {
                    calls.append("record " + recorded.displayString(layout));
                    if (const auto rejection = recorded.rejection(layout))
                        return rejection->message();
                    shortcut = recorded;
                    return std::nullopt;
                },
                [this](bool isRecording) { calls.append(isRecording ? "recording" : "stopped"); }};
    }
};

class ShortcutRecorderTest : public ::testing::Test {
protected:
    ShortcutRecorderTest()
    {
        auto* column = new QVBoxLayout(&window);
        column->addWidget(field = host.state().makeView(&window));
        column->addWidget(other = new QLineEdit(&window));
        window.show();
    }

    void click() { QTest::mouseClick(field, Qt::LeftButton); }

    ScopedLayout layout;
    RecordingHost host{layout.layout};
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
        {"delete alone too", "Alt+Super+T", false, "recording, record ⌥⌘T, stopped", keys(down(deleteKey))},
        {"ctrl backspace is an ordinary combination", "Press keys…", true, "recording, record ⌃⌫", keys(down(backspace, ctrl))},
        {"a repeating key asks once", "Press keys…", true, "recording, record ⌘K", keys(down(keyK, meta), Step{true, keyK, meta, true})},
        // clang-format on
    };
    for (const auto& script : scripts) {
        SCOPED_TRACE(script.name);
        host.calls.clear();
        host.shortcut = controlOptionK;
        host.state().update(*field);
        click();
        ASSERT_TRUE(field->isRecording());
        for (const Step& step : script.steps)
            send(field, step.down ? QEvent::KeyPress : QEvent::KeyRelease, step.key, step.held,
                 step.repeat);
        // The host hands the field its state again after each change, as the windows do.
        if (!field->isRecording())
            host.state().update(*field);
        EXPECT_EQ(field->displayTitle(), script.title);
        EXPECT_EQ(field->isRecording(), script.recording);
        EXPECT_EQ(host.calls.join(QStringLiteral(", ")), script.calls);
        if (field->isRecording())
            click();
    }
    // A host update while recording keeps the title.
    click();
    press(field, control);
    host.state().update(*field);
    EXPECT_EQ(field->displayTitle(), QStringLiteral("Ctrl+…"));
}

// Keys while recording are the recorder's, even those sent to another widget or claimed as
// window shortcuts; once idle they go where they always go.
TEST_F(ShortcutRecorderTest, KeysWhileRecordingReachNothingElse)
{
    click();
    press(other, keyT, Qt::MetaModifier);
    EXPECT_EQ(other->text(), QString());
    EXPECT_EQ(host.calls.last(), QStringLiteral("record ⌘T"));
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Return, Qt::NoModifier, 36, 0, 0);
    override.ignore();
    QApplication::sendEvent(other, &override);
    EXPECT_TRUE(override.isAccepted());
    click();
    QTest::keyClicks(other, QStringLiteral("ok"));
    EXPECT_EQ(other->text(), QStringLiteral("ok"));
}

TEST_F(ShortcutRecorderTest, EndsWhenClickedAgainHiddenOrLeftForAnotherField)
{
    click();
    click();
    EXPECT_FALSE(field->isRecording());
    click();
    field->hide();
    EXPECT_FALSE(field->isRecording());
    field->show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    click();
    ASSERT_TRUE(field->hasFocus());
    other->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(field->isRecording());
    EXPECT_EQ(host.calls, QStringList({"recording", "stopped", "recording", "stopped", "recording",
                                       "stopped"}));

    // Space starts it from the keyboard; another window taking the keyboard ends it.
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClick(field, Qt::Key_Space);
    EXPECT_TRUE(field->isRecording());
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    EXPECT_FALSE(field->isRecording());
    EXPECT_EQ(host.calls.last(), QStringLiteral("stopped"));
}

} // namespace
