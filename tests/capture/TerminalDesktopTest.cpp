// SPDX-License-Identifier: MIT
// A terminal gets Ctrl+Shift+C and Ctrl+Shift+V: Ctrl+C would interrupt the program
// running in it. xterm is told to copy and paste with those chords, as terminals that
// have them by default do.
#include "DesktopTestSupport.h"

#include <QFile>

namespace {

QByteArray primarySelection()
{
    return runTool(QStringLiteral("xclip"),
                   {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("primary")})
        .output;
}

class TerminalDesktopTest : public DesktopTest {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        if (IsSkipped())
            return;
        m_typed = m_dir.filePath(QStringLiteral("typed"));
        // The shell prints the word to select, then everything typed into the terminal
        // goes to a file, line by line.
        const QString script = QStringLiteral("printf needle; exec cat > '%1'").arg(m_typed);
        ASSERT_TRUE(terminal.start(
            QStringLiteral("xterm"),
            {QStringLiteral("-fn"), QStringLiteral("fixed"), QStringLiteral("-geometry"),
             QStringLiteral("40x5+0+0"), QStringLiteral("-xrm"),
             QStringLiteral("XTerm*VT100.translations: #override "
                            "Ctrl Shift <Key>C: copy-selection(CLIPBOARD)\\n"
                            "Ctrl Shift <Key>V: insert-selection(CLIPBOARD)"),
             QStringLiteral("-e"), QStringLiteral("sh"), QStringLiteral("-c"), script}));
        target = waitForActiveWindow(terminal.pid(), QStringLiteral("XTerm"));
        ASSERT_TRUE(target);
        // A double click on the first character cell selects the word, once the terminal
        // has drawn it.
        bool selected = false;
        for (int attempt = 0; attempt < 20 && !selected; ++attempt) {
            EXPECT_TRUE(xdotool(
                {QStringLiteral("mousemove"), QStringLiteral("--window"),
                 QString::number(target->windowID), QStringLiteral("8"), QStringLiteral("8"),
                 QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                 QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("1")}));
            selected = waitUntil([] { return primarySelection() == "needle"; }, 500ms);
        }
        ASSERT_TRUE(selected) << "the terminal never selected the word";
    }

    QString typed() const
    {
        QFile file(m_typed);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    ChildProcess terminal;
    std::optional<TargetApplication> target;

private:
    QTemporaryDir m_dir;
    QString m_typed;
};

TEST_F(TerminalDesktopTest, CopiesWithControlShiftCAndPastesWithControlShiftV)
{
    const std::optional<CapturedSelection> captured = runCapture();
    ASSERT_TRUE(captured);
    EXPECT_EQ(*captured,
              (CapturedSelection{QStringLiteral("needle"), CaptureMethod::clipboard, target}));

    runPaste(QStringLiteral("pasted words\n"), target);
    EXPECT_TRUE(waitUntil([&] { return typed() == QStringLiteral("pasted words\n"); }))
        << typed().toStdString();
    // Ctrl+C or Ctrl+V would have interrupted the program or typed a control character.
    EXPECT_EQ(terminal.process()->state(), QProcess::Running);
}

} // namespace
