// SPDX-License-Identifier: MIT
#include "ui/recorder/ShortcutRecorder.h"
#include "ui/settings/KeyScript.h"

#include <QAccessible>
#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace KeyScript;

namespace {

// A host that judges combinations by the shortcut rule, as the settings window does, and
// writes down every call it gets.
struct RecordingHost {
    KeyCharacters& layout;
    QStringList calls;
    HotkeyShortcut shortcut;

    ShortcutRecorder state()
    {
        return {layout, shortcut,
                [this](const HotkeyShortcut& recorded) -> std::optional<QString> {
                    calls.append(QStringLiteral("record ") + recorded.displayString(layout));
                    if (const auto rejection = recorded.rejection(layout))
                        return rejection->message();
                    shortcut = recorded;
                    return std::nullopt;
                },
                [this](bool isRecording) {
                    calls.append(isRecording ? QStringLiteral("recording")
                                             : QStringLiteral("stopped"));
                }};
    }
};

class ShortcutRecorderTest : public ::testing::Test {
protected:
    ShortcutRecorderTest()
    {
        auto* column = new QVBoxLayout(&window);
        field = host.state().makeView(&window);
        column->addWidget(field);
        other = new QLineEdit(&window);
        column->addWidget(other);
        window.show();
    }

    void click() { QTest::mouseClick(field, Qt::LeftButton); }

    ScopedLayout layout;
    RecordingHost host{layout.layout};
    QWidget window;
    ShortcutRecorderView* field = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(ShortcutRecorderTest, IsAButtonOfFixedSizeShowingTheShortcut)
{
    EXPECT_EQ(field->size(), QSize(176, 24));
    EXPECT_EQ(field->displayTitle(), QStringLiteral("Alt+Super+T"));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(field);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Button);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Keyboard shortcut"));
}

// Each row is a key script typed after a click on the field, and what the field shows,
// whether it still records and what the host was told.
struct Script {
    const char* name;
    QString title;
    bool recording;
    // What the host was told, in order.
    QString calls;
    std::function<void(QWidget*)> keys;
};

TEST_F(ShortcutRecorderTest, FollowsTheKeysTypedWhileRecording)
{
    const QList<Script> scripts = {
        {"held modifiers show by name and go away on release", "Ctrl+Alt+…", true, "recording",
         [](QWidget* w) {
             press(w, control);
             press(w, alt, Qt::ControlModifier);
         }},
        {"releasing them shows the prompt again", "Press keys…", true, "recording",
         [](QWidget* w) {
             press(w, control);
             press(w, alt, Qt::ControlModifier);
             release(w, alt, Qt::ControlModifier | Qt::AltModifier);
             release(w, control, Qt::ControlModifier);
         }},
        {"super counts although Qt reports the state before the press", "Super+…", true,
         "recording", [](QWidget* w) { press(w, super); }},
        {"a refused combination keeps recording with the modifiers cleared", "Press keys…", true,
         "recording, record ⇧⌘K",
         [](QWidget* w) {
             press(w, super);
             press(w, shift, Qt::MetaModifier);
             press(w, keyK, Qt::MetaModifier | Qt::ShiftModifier);
         }},
        {"releasing the refused keys ends at the prompt", "Press keys…", true,
         "recording, record ⇧⌘K",
         [](QWidget* w) {
             press(w, super);
             press(w, shift, Qt::MetaModifier);
             press(w, keyK, Qt::MetaModifier | Qt::ShiftModifier);
             release(w, keyK, Qt::MetaModifier | Qt::ShiftModifier);
             release(w, shift, Qt::MetaModifier | Qt::ShiftModifier);
             release(w, super, Qt::MetaModifier);
         }},
        {"escape alone cancels without recording anything", "Ctrl+Alt+K", false,
         "recording, stopped", [](QWidget* w) { press(w, escape); }},
        {"shift escape is an ordinary combination, refused by the rule", "Press keys…", true,
         "recording, record ⇧⎋", [](QWidget* w) { press(w, escape, Qt::ShiftModifier); }},
        {"alt 1 belongs to the panel and is refused", "Press keys…", true, "recording, record ⌥1",
         [](QWidget* w) { press(w, digit1, Qt::AltModifier); }},
        {"an accepted combination ends recording and shows itself", "Ctrl+Alt+K", false,
         "recording, record ⌃⌥K, stopped",
         [](QWidget* w) { press(w, keyK, Qt::ControlModifier | Qt::AltModifier); }},
        {"return is recorded like any key", "Ctrl+Super+Enter", false,
         "recording, record ⌃⌘↩, stopped",
         [](QWidget* w) { press(w, returnKey, Qt::ControlModifier | Qt::MetaModifier); }},
        {"backspace alone asks for the default", "Alt+Super+T", false,
         "recording, record ⌥⌘T, stopped", [](QWidget* w) { press(w, backspace); }},
        {"delete alone too", "Alt+Super+T", false, "recording, record ⌥⌘T, stopped",
         [](QWidget* w) { press(w, deleteKey); }},
        {"ctrl backspace is an ordinary combination", "Press keys…", true, "recording, record ⌃⌫",
         [](QWidget* w) { press(w, backspace, Qt::ControlModifier); }},
        {"a host update while recording keeps the title", "Ctrl+…", true, "recording",
         [this](QWidget* w) {
             press(w, control);
             host.state().update(*field);
         }},
        {"a repeating key asks once", "Press keys…", true, "recording, record ⌘K",
         [](QWidget* w) {
             press(w, keyK, Qt::MetaModifier);
             send(w, QEvent::KeyPress, keyK, Qt::MetaModifier, true);
         }},
    };
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.name);
        host.calls.clear();
        host.shortcut = HotkeyShortcut{40, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit};
        host.state().update(*field);
        click();
        ASSERT_TRUE(field->isRecording());
        script.keys(field);
        // The host hands the field its state again after each change, as the windows do.
        if (!field->isRecording())
            host.state().update(*field);
        EXPECT_EQ(field->displayTitle(), script.title);
        EXPECT_EQ(field->isRecording(), script.recording);
        EXPECT_EQ(host.calls.join(QStringLiteral(", ")), script.calls);
        if (field->isRecording())
            click();
    }
}

TEST_F(ShortcutRecorderTest, KeysWhileRecordingReachNothingElse)
{
    click();
    const bool handled = send(field, QEvent::KeyPress, keyK, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(handled);
    // Even a key sent to another widget is the recorder's while it records.
    click();
    press(other, keyT, Qt::MetaModifier);
    EXPECT_EQ(other->text(), QString());
    EXPECT_EQ(host.calls.last(), QStringLiteral("record ⌘T"));

    // Window shortcuts do not see the key either: the field claims the override.
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Return, Qt::NoModifier, 36, 0, 0);
    override.ignore();
    QApplication::sendEvent(other, &override);
    EXPECT_TRUE(override.isAccepted());
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
    // Once idle, keys go where they always go.
    QTest::keyClicks(other, QStringLiteral("ok"));
    EXPECT_EQ(other->text(), QStringLiteral("ok"));

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

TEST_F(ShortcutRecorderTest, ItsMenuResetsToTheDefaultWhileIdle)
{
    host.shortcut = HotkeyShortcut{40, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit};
    host.state().update(*field);
    ASSERT_EQ(field->actions().size(), 1);
    EXPECT_EQ(field->actions().first()->text(), QStringLiteral("Reset to default"));
    field->actions().first()->trigger();
    host.state().update(*field);
    EXPECT_EQ(host.calls, QStringList{"record ⌥⌘T"});
    EXPECT_EQ(field->displayTitle(), QStringLiteral("Alt+Super+T"));
    EXPECT_FALSE(field->isRecording());
}

} // namespace
