// SPDX-License-Identifier: MIT
// A terminal gets Ctrl+Shift+C and Ctrl+Shift+V: Ctrl+C would interrupt the program
// running in it. xterm is told to copy and paste with those chords, as terminals that
// have them by default do.
#include "DesktopTestSupport.h"

#include <QFile>

namespace {

TEST_F(DesktopTest, ATerminalCopiesWithControlShiftCAndPastesWithControlShiftV)
{
    // The shell prints the word to select, then everything typed into the terminal goes to a
    // file, line by line.
    QTemporaryDir dir;
    const QString typed = dir.filePath(QStringLiteral("typed"));
    const QStringList arguments{
        "-fn",
        "fixed",
        "-geometry",
        "40x5+0+0",
        "-xrm",
        "XTerm*VT100.translations: #override Ctrl Shift <Key>C: copy-selection(CLIPBOARD)\\n"
        "Ctrl Shift <Key>V: insert-selection(CLIPBOARD)",
        "-e",
        "sh",
        "-c",
        QStringLiteral("printf needle; exec cat > '%1'").arg(typed)};
    ChildProcess terminal;
    ASSERT_TRUE(terminal.start(QStringLiteral("xterm"), arguments));
    const std::optional<TargetApplication> target =
        waitForActiveWindow(terminal.pid(), QStringLiteral("XTerm"));
    ASSERT_TRUE(target);
    // A double click on the first character cell selects the word, once the terminal has
    // drawn it.
    bool selected = false;
    for (int attempt = 0; attempt < 20 && !selected; ++attempt) {
        EXPECT_TRUE(xdotool({"mousemove", "--window", QString::number(target->windowID), "8", "8",
                             "click", "--repeat", "2", "--delay", "60", "1"}));
        selected = waitUntil(
            [] {
                return runTool("xclip", {"-o", "-selection", "primary"}).output == "needle";
            },
            500ms);
    }
    ASSERT_TRUE(selected) << "the terminal never selected the word";

    const std::optional<CapturedSelection> captured = runCapture();
    ASSERT_TRUE(captured);
    EXPECT_EQ(*captured,
              (CapturedSelection{QStringLiteral("needle"), CaptureMethod::clipboard, target}));

    runPaste(QStringLiteral("pasted words\n"), target);
    QString seen;
    EXPECT_TRUE(waitUntil([&] {
        QFile file(typed);
        seen = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        return seen == QStringLiteral("pasted words\n");
    })) << seen.toStdString();
    // Ctrl+C or Ctrl+V would have interrupted the program or typed a control character.
    EXPECT_EQ(terminal.process()->state(), QProcess::Running);
}

} // namespace
