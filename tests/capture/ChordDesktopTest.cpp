// SPDX-License-Identifier: MIT
// The copy and paste chords reach the application as it means them: in keyboard layouts
// where the C and V keys are not the QWERTY ones, and in a terminal, which gets Ctrl+Shift+C
// and Ctrl+Shift+V because Ctrl+C would interrupt the program running in it (xterm is told to
// copy and paste with those chords, as terminals that have them by default do).
#include "DesktopTestSupport.h"

#include "settings/Preferences.h"

#include <QFile>

namespace {

TEST_F(DesktopTest, CopyAndPasteReachTheEditorAndTheTerminalInOtherLayouts)
{
    ScopedKeyboardState keyboard;
    // In the Russian group no key types a Latin letter, so the keys are found in the Latin
    // group; with Dvorak the C and V keys are not where QWERTY has them.
    const struct {
        const char *layouts, *variants;
        bool terminal;
    } rows[] = {{"ru,us", ",", false}, {"us", "dvorak", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.layouts);
        ASSERT_TRUE(
            ScopedKeyboardState::setxkbmap({"-layout", row.layouts, "-variant", row.variants}));
        Mousepad editor;
        ChildProcess terminal;
        QTemporaryDir dir; // what is typed into the terminal goes to a file
        const QString typed = dir.filePath("typed");
        std::optional<TargetApplication> target;
        if (row.terminal) {
            ASSERT_TRUE(terminal.start(
                "xterm",
                {"-fn", "fixed", "-geometry", "40x5+0+0", "-xrm",
                 "XTerm*VT100.translations: #override Ctrl Shift <Key>C: "
                 "copy-selection(CLIPBOARD)\\nCtrl Shift <Key>V: "
                 "insert-selection(CLIPBOARD)",
                 "-e", "sh", "-c", QStringLiteral("printf needle; exec cat > '%1'").arg(typed)}));
            ASSERT_TRUE(target = waitForActiveWindow(terminal.pid(), "XTerm"));
            // A double click on the first cell selects the word, once the terminal drew it.
            ASSERT_TRUE(waitUntil([&] {
                return xdotool({"mousemove", "--window", QString::number(target->windowID), "8",
                                "8", "click", "--repeat", "2", "--delay", "60", "1"}) &&
                       waitUntil([] { return runTool("xclip", {"-o"}).output == "needle"; }, 500ms);
            }));
        } else {
            ASSERT_TRUE(editor.start("needle"));
            ASSERT_TRUE(target = waitForActiveWindow(editor.pid(), "Mousepad"));
            ASSERT_TRUE(selectAll(*target, "needle"));
            setDefault(DefaultsKey::forceClipboardCapture, true);
            // A chord held too long: let go for the copy, and put back after it, or the next
            // key the user types with it reaches the editor as a plain letter.
            EXPECT_TRUE(xdotool({"keydown", "Alt_L", "Super_L"}));
        }

        EXPECT_EQ(runCapture(), (CapturedSelection{"needle", CaptureMethod::clipboard, target}));
        if (!row.terminal) {
            EXPECT_EQ(log.lines().value(0),
                      "error capture: modifiers still held after 500ms — posting anyway");
            EXPECT_TRUE(keys.relevantModifiersHeld());
            EXPECT_TRUE(xdotool({"keyup", "Super_L", "Alt_L"}));
            EXPECT_FALSE(keys.relevantModifiersHeld());
        }
        const QString result = row.terminal ? "pasted words\n" : "pasted words";
        runPaste(result, target);
        QString seen;
        EXPECT_TRUE(row.terminal ? waitUntil([&] {
            QFile file(typed);
            seen = file.open(QFile::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
            return seen == result;
        })
                                 : selectAll(*target, result))
            << seen.toStdString();
        // Ctrl+C or Ctrl+V would have interrupted the program or typed a control character.
        EXPECT_TRUE(!row.terminal || terminal.process()->state() == QProcess::Running);
    }
}

} // namespace
