// SPDX-License-Identifier: MIT
// Capture from a real editor on the test desktop, through AT-SPI and through the copy
// command, with the user's clipboard put back byte for byte.
#include "DesktopTestSupport.h"

#include "settings/Preferences.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

const QString selectedWords = QStringLiteral(" two words ");

// A clipboard as a user might have left it: text, its rich form and a binary type.
const QList<QPair<QString, QByteArray>> usersClipboard = {
    {QStringLiteral("text/plain"), QByteArray("user's plain text")},
    {QStringLiteral("text/html"), QByteArray("<p>user's <b>rich</b> text</p>")},
    {QStringLiteral("application/x-quillmark-test"), QByteArray("\x00\x01\xfe\xff\r\n\x80", 7)},
};

class CaptureDesktopTest : public DesktopTest {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(editor.start(selectedWords));
        target = waitForActiveWindow(editor.pid(), QStringLiteral("Mousepad"));
        ASSERT_TRUE(target);
        ASSERT_TRUE(selectAll(*target, selectedWords)) << "the editor never selected";
    }

    void expectUsersClipboardBack()
    {
        for (const auto& [type, bytes] : usersClipboard) {
            SCOPED_TRACE(type.toStdString());
            EXPECT_EQ(selectionBytes(QStringLiteral("clipboard"), type), bytes);
        }
    }

    Mousepad editor;
    std::optional<TargetApplication> target;
    ClipboardOwner owner;
};

TEST_F(CaptureDesktopTest, AccessibilityGivesTheExactSelectionWithItsEdgeSpaces)
{
    const std::optional<CapturedSelection> captured = runCapture();

    ASSERT_TRUE(captured);
    EXPECT_EQ(*captured, (CapturedSelection{selectedWords, CaptureMethod::ax, target}));
    EXPECT_EQ(log.lines(), QStringList{"info capture: captured via ax (11 chars)"});
}

TEST_F(CaptureDesktopTest, TheCopyCommandCapturesAndTheClipboardComesBackByteForByte)
{
    ASSERT_TRUE(ownClipboard(owner, usersClipboard));
    setDefault(DefaultsKey::forceClipboardCapture, true);

    const std::optional<CapturedSelection> captured = runCapture();

    ASSERT_TRUE(captured);
    EXPECT_EQ(*captured, (CapturedSelection{selectedWords, CaptureMethod::clipboard, target}));
    EXPECT_EQ(log.lines(), QStringList{"info capture: captured via clipboard (11 chars)"});
    expectUsersClipboardBack();
}

TEST_F(CaptureDesktopTest, SecureInputTypesNothingAndLeavesTheClipboardAlone)
{
    ASSERT_TRUE(ownClipboard(owner, usersClipboard));
    setDefault(DefaultsKey::forceClipboardCapture, true);
    secureInput.active = true;
    const int64_t before = pasteboard.changeCount();

    EXPECT_FALSE(runCapture());

    EXPECT_EQ(log.lines(),
              QStringList({"error capture: secure input enabled — cannot post synthetic ⌘C",
                           "info capture: no selection captured"}));
    // Had the editor copied, its answer would have arrived by now.
    EXPECT_FALSE(waitUntil([&] { return pasteboard.changeCount() != before; }, 500ms));
    expectUsersClipboardBack();
}

TEST_F(CaptureDesktopTest, AnAltStillHeldFromTheShortcutIsWaitedFor)
{
    setDefault(DefaultsKey::forceClipboardCapture, true);
    typeWithXdotool({QStringLiteral("keydown"), QStringLiteral("Alt_L")});
    ASSERT_TRUE(keys.relevantModifiersHeld());
    QProcess release;
    QTimer::singleShot(150ms, [&release] {
        release.start(QStringLiteral("xdotool"),
                      {QStringLiteral("keyup"), QStringLiteral("Alt_L")});
    });

    QElapsedTimer elapsed;
    elapsed.start();
    const std::optional<CapturedSelection> captured = runCapture();
    release.waitForFinished(5000);

    // The copy was typed only after the release: the whole capture took longer.
    EXPECT_GE(elapsed.elapsed(), 150);
    ASSERT_TRUE(captured);
    EXPECT_EQ(captured->text, selectedWords);
    EXPECT_EQ(log.lines(), QStringList{"info capture: captured via clipboard (11 chars)"});
    EXPECT_FALSE(keys.relevantModifiersHeld());
}

TEST_F(CaptureDesktopTest, AnAltHeldTooLongIsReleasedBeforeTheCopySoTheCopyStillWorks)
{
    setDefault(DefaultsKey::forceClipboardCapture, true);
    typeWithXdotool({QStringLiteral("keydown"), QStringLiteral("Alt_L")});

    const std::optional<CapturedSelection> captured = runCapture();

    ASSERT_TRUE(captured);
    EXPECT_EQ(captured->text, selectedWords);
    EXPECT_EQ(log.lines(),
              QStringList({"error capture: modifiers still held after 500ms — posting anyway",
                           "info capture: captured via clipboard (11 chars)"}));
    typeWithXdotool({QStringLiteral("keyup"), QStringLiteral("Alt_L")});
}

} // namespace
