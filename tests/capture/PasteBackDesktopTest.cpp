// SPDX-License-Identifier: MIT
// Paste-back into a real editor on the test desktop: the selection is replaced and the
// user's clipboard comes back, unless someone wrote a newer one meanwhile.
#include "DesktopTestSupport.h"

#include <QTimer>
#include <QWindow>

namespace {

class PasteBackDesktopTest : public DesktopTest {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(
            ownClipboard(owner, {{QStringLiteral("text/plain"), QByteArray("user's text")}}));
        ASSERT_TRUE(editor.start(QStringLiteral("rough  draft")));
        target = waitForActiveWindow(editor.pid(), QStringLiteral("Mousepad"));
        ASSERT_TRUE(target);
        ASSERT_TRUE(selectAll(*target, QStringLiteral("rough  draft")));
    }

    // What the editor holds now, read back by selecting all of it.
    [[nodiscard]] bool editorHolds(const QString& text) { return selectAll(*target, text); }

    ClipboardOwner owner;
    Mousepad editor;
    std::optional<TargetApplication> target;
};

TEST_F(PasteBackDesktopTest, EveryTargetComesBackAsTheOwnerGaveIt)
{
    XcbPasteboard other{clock, X11Display{}, roomy};
    other.write(unusualClipboard());

    runPaste(QStringLiteral("Polished draft."), target);

    EXPECT_TRUE(editorHolds(QStringLiteral("Polished draft.")));
    EXPECT_TRUE(QCoro::waitFor(other.snapshot()) == unusualClipboard());
}

TEST_F(PasteBackDesktopTest, WhileOurItemIsOnTheClipboardASnapshotGivesTheUsers)
{
    PasteboardSnapshot users;
    PasteboardSnapshot during;
    bool done = false;
    // The lambda outlives its coroutine, which refers to its captures.
    const auto body = [&]() -> QCoro::Task<> {
        users = co_await pasteboard.snapshot();
        pasteboard.write(
            PasteboardSnapshot{{{{QStringLiteral("text/plain"), "result"},
                                 {QStringLiteral("org.nspasteboard.TransientType"), ""}}}});
        during = co_await pasteboard.snapshot();
        done = true;
    };
    QCoro::Task<> taking = body();
    ASSERT_TRUE(waitUntil([&] { return done; }));

    EXPECT_FALSE(users.isEmpty());
    EXPECT_EQ(during, users);
}

TEST_F(PasteBackDesktopTest, AKeyboardGrabbedDuringTheActivationWaitGetsNoKeys)
{
    // Another window in front, which the paste leaves for the target first.
    QWindow other;
    other.setGeometry(100, 100, 200, 100);
    other.show();
    other.requestActivate();
    ASSERT_TRUE(waitUntil([&] {
        const std::optional<TargetApplication> front = windows.frontmost();
        return other.isActive() && front && front->windowID == other.winId();
    }));
    std::unique_ptr<KeyboardGrab> prompt;
    QTimer::singleShot(0, [&prompt] { prompt = std::make_unique<KeyboardGrab>(); });

    runPaste(QStringLiteral("Polished draft."), target);

    ASSERT_TRUE(prompt && prompt->held());
    EXPECT_EQ(log.lines(),
              QStringList{"error replace: secure input enabled — cannot post synthetic ⌘V"});
    EXPECT_EQ(selectionBytes(QStringLiteral("clipboard"), QStringLiteral("text/plain")),
              QByteArray("Polished draft."));
    prompt.reset();
    EXPECT_TRUE(editorHolds(QStringLiteral("rough  draft")));
}

TEST_F(PasteBackDesktopTest, AClipboardWrittenByAnotherApplicationMeanwhileIsKept)
{
    ClipboardOwner newer;
    ASSERT_TRUE(newer.prepare({{QStringLiteral("text/plain"), QByteArray("newer copy")}}));
    // Late enough for the editor to have read the result, well before the restore.
    QTimer::singleShot(200ms, [&newer] { newer.take(); });

    runPaste(QStringLiteral("Polished draft."), target);

    EXPECT_EQ(log.lines().value(1),
              QStringLiteral("info replace: clipboard changed since our write — leaving it alone"));
    EXPECT_EQ(selectionBytes(QStringLiteral("clipboard"), QStringLiteral("text/plain")),
              QByteArray("newer copy"));
    EXPECT_TRUE(editorHolds(QStringLiteral("Polished draft.")));
}

TEST_F(PasteBackDesktopTest, ThePastedItemIsUtf8AndTellsClipboardManagersToSkipIt)
{
    const QString result = QStringLiteral("Grüße 👋");
    QByteArray transient;
    QByteArray hint;
    QStringList types;
    // Read while the result is on the clipboard, between the paste and the restore.
    QTimer::singleShot(100ms, [&] {
        types = selectionTypes(QStringLiteral("clipboard"));
        transient = selectionBytes(QStringLiteral("clipboard"),
                                   QStringLiteral("org.nspasteboard.TransientType"));
        hint = selectionBytes(QStringLiteral("clipboard"),
                              QStringLiteral("x-kde-passwordManagerHint"));
    });

    runPaste(result, target);

    EXPECT_TRUE(types.contains(QStringLiteral("org.nspasteboard.TransientType")))
        << types.join(u' ').toStdString();
    EXPECT_TRUE(transient.isEmpty());
    EXPECT_EQ(hint, QByteArray("secret"));
    // The editor read the text as UTF-8.
    EXPECT_TRUE(editorHolds(result));
}

} // namespace
