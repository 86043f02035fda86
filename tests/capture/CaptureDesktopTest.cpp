// SPDX-License-Identifier: MIT
// Capture from a real editor on the test desktop, through AT-SPI and through the copy
// command, with the user's clipboard put back byte for byte.
#include "DesktopTestSupport.h"

#include "settings/Preferences.h"

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

    ASSERT_TRUE(captured && captured->targetApp && captured->targetApp->accessible);
    EXPECT_EQ(captured->targetApp->accessible->text, selectedWords);
    TargetApplication read = *target;
    read.accessible = captured->targetApp->accessible;
    EXPECT_EQ(*captured, (CapturedSelection{selectedWords, CaptureMethod::ax, read}));
    EXPECT_EQ(log.lines(), QStringList{"info capture: captured via ax (11 chars)"});
}

TEST_F(CaptureDesktopTest, EveryTargetComesBackAsTheOwnerGaveIt)
{
    // Another application serving raw bytes, read back raw after the capture.
    XcbPasteboard other{clock, X11Display{}, roomy};
    other.write(unusualClipboard());
    setDefault(DefaultsKey::forceClipboardCapture, true);

    const std::optional<CapturedSelection> captured = runCapture();

    EXPECT_EQ(captured ? captured->text : QString(), selectedWords);
    EXPECT_TRUE(QCoro::waitFor(other.snapshot()) == unusualClipboard());
}

TEST_F(CaptureDesktopTest, AClipboardOwnerThatNeverAnswersIsLeftOutWithinTheBudget)
{
    ASSERT_TRUE(ownClipboard(
        owner, {{QStringLiteral("text/plain"), QByteArray("user's text")},
                {QStringLiteral("application/x-stalled-1"), ClipboardOwner::stalled},
                {QStringLiteral("application/x-stalled-2"), ClipboardOwner::stalled},
                {QStringLiteral("application/x-stalled-3"), ClipboardOwner::stalled}}));
    setDefault(DefaultsKey::forceClipboardCapture, true);
    XcbPasteboard tight{clock};
    SelectionCapture timed{windows, accessibility(), secureInput, keys, tight, clock};
    const std::optional<CapturedSelection> captured = QCoro::waitFor(timed.capture());

    ASSERT_TRUE(captured);
    EXPECT_EQ(captured->text, selectedWords);
    EXPECT_EQ(
        log.lines(),
        QStringList({"error capture: clipboard owner did not deliver application/x-stalled-1, "
                     "application/x-stalled-2, application/x-stalled-3 in time — left out "
                     "of the saved clipboard",
                     "info capture: captured via clipboard (11 chars)"}));
    EXPECT_EQ(selectionBytes(QStringLiteral("clipboard"), QStringLiteral("text/plain")),
              QByteArray("user's text"));
}

TEST_F(CaptureDesktopTest, AKeyboardGrabbedDuringTheWaitTypesNothingAndLeavesTheClipboardAlone)
{
    ASSERT_TRUE(ownClipboard(owner, usersClipboard));
    setDefault(DefaultsKey::forceClipboardCapture, true);
    // A password prompt takes the keyboard while the capture waits for the held Alt.
    EXPECT_TRUE(xdotool({QStringLiteral("keydown"), QStringLiteral("Alt_L")}));
    std::unique_ptr<KeyboardGrab> prompt;
    QTimer::singleShot(0, [&prompt] { prompt = std::make_unique<KeyboardGrab>(); });
    const int64_t before = pasteboard.changeCount();

    EXPECT_FALSE(runCapture());

    ASSERT_TRUE(prompt && prompt->held());
    EXPECT_EQ(log.lines(),
              QStringList({"error capture: modifiers still held after 500ms — posting anyway",
                           "error capture: secure input enabled — cannot post synthetic ⌘C",
                           "info capture: no selection captured"}));
    // Had the editor copied, its answer would have arrived by now.
    EXPECT_FALSE(waitUntil([&] { return pasteboard.changeCount() != before; }, 500ms));
    prompt.reset();
    EXPECT_TRUE(xdotool({QStringLiteral("keyup"), QStringLiteral("Alt_L")}));
    expectUsersClipboardBack();
    EXPECT_TRUE(accessibility().selectedText(*target) == selectedWords);
}

TEST_F(CaptureDesktopTest, AChordHeldTooLongIsLetGoForTheCopyAndPutBackAfterIt)
{
    setDefault(DefaultsKey::forceClipboardCapture, true);
    EXPECT_TRUE(
        xdotool({QStringLiteral("keydown"), QStringLiteral("Alt_L"), QStringLiteral("Super_L")}));

    const std::optional<CapturedSelection> captured = runCapture();

    ASSERT_TRUE(captured);
    EXPECT_EQ(captured->text, selectedWords);
    EXPECT_EQ(log.lines(),
              QStringList({"error capture: modifiers still held after 500ms — posting anyway",
                           "info capture: captured via clipboard (11 chars)"}));
    // The user still holds Alt+Super: the server must think so too, or their next T
    // reaches the editor as a plain letter over the selection.
    EXPECT_TRUE(keys.relevantModifiersHeld());
    EXPECT_TRUE(xdotool({QStringLiteral("key"), QStringLiteral("t")}));
    EXPECT_TRUE(
        xdotool({QStringLiteral("keyup"), QStringLiteral("Super_L"), QStringLiteral("Alt_L")}));
    EXPECT_FALSE(keys.relevantModifiersHeld());
    EXPECT_TRUE(selectUntil({QStringLiteral("ctrl+a")}, *target, selectedWords));
}

} // namespace
