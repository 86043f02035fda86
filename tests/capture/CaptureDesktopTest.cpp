// SPDX-License-Identifier: MIT
// Capture from and paste-back into a real editor on the test desktop, through AT-SPI, the
// copy command and the X clipboard, with the user's clipboard put back byte for byte. What the
// road through the binary proves (tests/e2e: both capture routes from mousepad, the paste and
// the restore of an ordinary clipboard, an editor that quit) is not repeated here; nor are
// the chords (ChordDesktopTest) and the Replace routes (ReplaceRouteDesktopTest).
#include "DesktopTestSupport.h"

#include "settings/Preferences.h"

#include <QTimer>
#include <QWindow>

namespace {

const QString selectedWords = QStringLiteral(" two words ");

// A clipboard as a user might have left it: text, its rich form and a binary type.
const QList<QPair<QString, QByteArray>> usersClipboard = {
    {QStringLiteral("text/plain"), QByteArray("user's plain text")},
    {QStringLiteral("text/html"), QByteArray("<p>user's <b>rich</b> text</p>")},
    {QStringLiteral("application/x-quillmark-test"), QByteArray("\x00\x01\xfe\xff\r\n\x80", 7)},
};

QByteArray clipboardBytes(const QString& type)
{
    return selectionBytes(QStringLiteral("clipboard"), type);
}

// The editor in front holding `text`, all of it selected.
class EditorDesktopTest : public DesktopTest {
protected:
    void open(const QString& text)
    {
        ASSERT_TRUE(editor.start(text));
        target = waitForActiveWindow(editor.pid(), QStringLiteral("Mousepad"));
        ASSERT_TRUE(target);
        ASSERT_TRUE(selectAll(*target, text)) << "the editor never selected";
    }

    // A password prompt takes the keyboard once the event loop turns, i.e. while the
    // capture or the paste waits.
    void grabKeyboardDuringTheWait()
    {
        QTimer::singleShot(0, [this] { prompt = std::make_unique<KeyboardGrab>(); });
    }

    Mousepad editor;
    std::optional<TargetApplication> target;
    ClipboardOwner owner;
    std::unique_ptr<KeyboardGrab> prompt;
};

TEST_F(EditorDesktopTest, AClipboardOwnerThatNeverAnswersIsLeftOutWithinTheBudget)
{
    open(selectedWords);
    ASSERT_TRUE(ownClipboard(
        owner, {{QStringLiteral("text/plain"), QByteArray("user's text")},
                {QStringLiteral("application/x-stalled-1"), ClipboardOwner::stalled},
                {QStringLiteral("application/x-stalled-2"), ClipboardOwner::stalled},
                {QStringLiteral("application/x-stalled-3"), ClipboardOwner::stalled}}));
    setDefault(DefaultsKey::forceClipboardCapture, true);
    XcbPasteboard tight{clock, x11}; // the product's own deadlines
    SelectionCapture timed{windows, accessibility(), secureInput, keys, tight, clock, preferences};
    const std::optional<CapturedSelection> captured = QCoro::waitFor(timed.capture());

    EXPECT_EQ(captured ? captured->text : QString(), selectedWords);
    EXPECT_EQ(
        log.lines(),
        QStringList({"error capture: clipboard owner did not deliver application/x-stalled-1, "
                     "application/x-stalled-2, application/x-stalled-3 in time — left out "
                     "of the saved clipboard",
                     "info capture: captured via clipboard (11 chars)"}));
    EXPECT_EQ(clipboardBytes(QStringLiteral("text/plain")), QByteArray("user's text"));
}

TEST_F(EditorDesktopTest, AKeyboardGrabbedDuringAWaitGetsNoKeysAndTheClipboardLosesNothing)
{
    open(selectedWords);
    ASSERT_TRUE(ownClipboard(owner, usersClipboard));
    setDefault(DefaultsKey::forceClipboardCapture, true);
    EXPECT_TRUE(xdotool({QStringLiteral("keydown"), QStringLiteral("Alt_L")}));
    grabKeyboardDuringTheWait();
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
    for (const auto& [type, bytes] : usersClipboard)
        EXPECT_EQ(clipboardBytes(type), bytes) << type.toStdString();
    EXPECT_TRUE(accessibility().selectedText(*target) == selectedWords);

    // The paste, bringing the editor back in front of another window, types nothing either
    // while the prompt holds the keyboard, and leaves the result on the clipboard. (Its waits
    // may all be answered before the event loop turns, so the prompt grabs first here; the
    // capture above proves a grab that comes during a wait.)
    QWindow other;
    other.setGeometry(100, 100, 200, 100);
    other.show();
    other.requestActivate();
    ASSERT_TRUE(waitUntil([&] {
        const std::optional<TargetApplication> front = windows.frontmost();
        return other.isActive() && front && front->windowID == other.winId();
    }));
    log.sink.clear();
    prompt = std::make_unique<KeyboardGrab>();

    runPaste(QStringLiteral("Polished draft."), target);

    ASSERT_TRUE(prompt && prompt->held());
    EXPECT_EQ(log.lines(),
              QStringList{"error replace: secure input enabled — cannot post synthetic ⌘V"});
    EXPECT_EQ(clipboardBytes(QStringLiteral("text/plain")), QByteArray("Polished draft."));
    prompt.reset();
    EXPECT_TRUE(selectAll(*target, selectedWords));
}

TEST_F(EditorDesktopTest, ThePasteIsUtf8SkippedByClipboardManagersAndEveryTargetComesBackExactly)
{
    open(QStringLiteral("rough  draft"));
    // Another application serving bytes any conversion would change, read back raw.
    X11Connection otherClient;
    XcbPasteboard other{clock, otherClient, roomy};
    other.write(unusualClipboard());
    const QString result = QStringLiteral("Grüße 👋");
    QStringList types;
    QByteArray transient, hint;
    std::optional<QCoro::Task<PasteboardSnapshot>> during;
    // Read while the result is on the clipboard, between the paste and the restore; a capture
    // then (a second shortcut) must save the user's clipboard, not our result.
    QTimer::singleShot(100ms, [&] {
        types = selectionTypes(QStringLiteral("clipboard"));
        transient = clipboardBytes(QStringLiteral("org.nspasteboard.TransientType"));
        hint = clipboardBytes(QStringLiteral("x-kde-passwordManagerHint"));
        during = pasteboard.snapshot();
    });

    runPaste(result, target);

    EXPECT_TRUE(types.contains(QStringLiteral("org.nspasteboard.TransientType")))
        << types.join(u' ').toStdString();
    EXPECT_TRUE(transient.isEmpty());
    EXPECT_EQ(hint, QByteArray("secret"));
    EXPECT_TRUE(selectAll(*target, result)); // the editor read the text as UTF-8
    EXPECT_TRUE(QCoro::waitFor(other.snapshot()) == unusualClipboard());
    ASSERT_TRUE(during);
    EXPECT_TRUE(QCoro::waitFor(std::move(*during)) == unusualClipboard());
}

TEST_F(DesktopTest, APasswordFieldIsNeverRead)
{
    ChildProcess field;
    ASSERT_TRUE(field.start(QStringLiteral(TEXT_FIELD_WINDOW_PATH),
                            {QStringLiteral("--password"), QStringLiteral("hunter2")}));
    const std::optional<TargetApplication> target = waitForActiveWindow(field.pid(), {});
    ASSERT_TRUE(target);
    // Give the toolkit the time a readable field needs to appear on the bus.
    EXPECT_FALSE(waitUntil([&] { return accessibility().selectedText(target).has_value(); }, 3s));
    // The copy command finds nothing either: password fields refuse to copy.
    EXPECT_FALSE(runCapture());
    EXPECT_EQ(log.lines(), QStringList{"info capture: no selection captured"});
}

} // namespace
