// SPDX-License-Identifier: MIT
// Which way Replace takes in real applications: straight into the accessible element
// (EditableText) where the toolkit handles it well, the paste otherwise, and what the
// application holds afterwards.
#include "DesktopTestSupport.h"

namespace {

TEST_F(DesktopTest, ReplaceTakesTheRouteMeasuredForTheToolkitAndKeepsTheUndoHistory)
{
    enum App { mousepad, gtk4TextView, qtTextEdit, qtLineEdit };
    const struct {
        App app;
        QString pasteReason; // empty for EditableText
        bool editedMeanwhile;
    } rows[] = {
        // clang-format off
        {mousepad, {}, false},
        {gtk4TextView, {}, false},
        {qtTextEdit, {}, false},
        {qtLineEdit, "single-line Qt fields lose their undo history", false},
        {mousepad, "the selected text changed since capture", true},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.app << " " << row.pasteReason.toStdString());
        ClipboardOwner owner;
        ASSERT_TRUE(ownClipboard(owner, {{"text/plain", QByteArray("user's copy")}}));
        Mousepad editor;
        ChildProcess other;
        const QString text = "one two three";
        ASSERT_TRUE(
            row.app == mousepad       ? editor.start(text)
            : row.app == gtk4TextView ? other.start("/usr/bin/python3", {GTK4_TEXT_VIEW_PATH, text})
            : row.app == qtTextEdit   ? other.start(TEXT_FIELD_WINDOW_PATH, {"--multi-line", text})
                                      : other.start(TEXT_FIELD_WINDOW_PATH, {text}));
        const std::optional<TargetApplication> target =
            waitForActiveWindow(row.app == mousepad ? editor.pid() : other.pid(), {});
        ASSERT_TRUE(target);
        ASSERT_TRUE(selectUntil({"End", "shift+ctrl+Left"}, *target, "three"));

        const std::optional<CapturedSelection> captured = runCapture();
        ASSERT_TRUE(captured && captured->method == CaptureMethod::ax);
        ASSERT_TRUE(captured->targetApp && captured->targetApp->accessible);
        if (row.editedMeanwhile) {
            EXPECT_TRUE(xdotool({"key", "ctrl+Home", "X"}));
        }
        (void)owner.askedFor();
        log.sink.clear();

        runPaste("THREE", captured->targetApp);

        if (row.pasteReason.isEmpty()) {
            EXPECT_EQ(log.lines(),
                      QStringList{
                          QStringLiteral("info replace: replaced via EditableText in %1 (5 chars)")
                              .arg(target->title.isEmpty() ? target->wmClass : target->title)});
            // The user's clipboard was neither read nor taken: its owner was never asked and
            // is still the one that answers.
            EXPECT_EQ(owner.askedFor(), QStringList());
            EXPECT_EQ(selectionBytes("clipboard", "text/plain"), QByteArray("user's copy"));
            EXPECT_FALSE(owner.askedFor().isEmpty());
        } else {
            EXPECT_EQ(log.lines().value(0),
                      "info replace: replacing via paste: " + row.pasteReason);
        }
        // What the application holds once "THREE" replaced "three".
        EXPECT_TRUE(
            selectAll(*target, row.editedMeanwhile ? "XTHREEone two three" : "one two THREE"));
        if (row.pasteReason.isEmpty()) {
            // The first undo removes the insertion, the second brings the original back.
            EXPECT_TRUE(xdotool({"key", "ctrl+z", "ctrl+z"}));
            EXPECT_TRUE(selectAll(*target, text));
        }
    }
}

} // namespace
