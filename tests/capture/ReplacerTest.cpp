// SPDX-License-Identifier: MIT
#include "CaptureTestSupport.h"

#include "settings/Preferences.h"

namespace {

const QString ourItem = u"pasteboard.write(org.nspasteboard.TransientType= "
                        u"text/plain=Better text. x-kde-passwordManagerHint=secret)@0"_s;
const QStringList pasted{"info replace: posted ⌘V into notes.txt - Mousepad",
                         "info replace: clipboard restored"};

TEST_F(CaptureTest, PasteIntoTheActiveTargetRestoresTheClipboardFourHundredMillisecondsLater)
{
    runPaste(u"Better text."_s, editor);

    EXPECT_EQ(journal.entries(),
              QStringList({"pasteboard.snapshot@0", ourItem, "keys.post(Ctrl+V)@0",
                           restoreOf(usersClipboard, 400), "done@400"}));
    EXPECT_EQ(log.lines(), pasted);
    EXPECT_EQ(pasteboard.contents, usersClipboard);
}

TEST_F(CaptureTest, AnInactiveTargetIsActivatedAndThePasteFollowsAsSoonAsItIsActive)
{
    // How long the window manager takes to bring the target back, and when the paste follows.
    const std::pair<std::optional<std::chrono::milliseconds>, int> rows[] = {
        {0ms, 0}, {7ms, 7}, {300ms, 300}, {301ms, 300}, {std::nullopt, 300},
    };
    for (const auto& [delay, posted] : rows) {
        SCOPED_TRACE(posted);
        nextRow();
        windows.activeWindow = 0x999;
        windows.activationDelay = delay;

        runPaste(u"Better text."_s, editor);

        EXPECT_EQ(
            journal.entries(),
            QStringList({"pasteboard.snapshot@0", ourItem, "windows.activate(18874375)@0",
                         u"keys.post(Ctrl+V)@%1"_s.arg(posted),
                         restoreOf(usersClipboard, posted + 400), u"done@%1"_s.arg(posted + 400)}));
        EXPECT_EQ(log.lines(), pasted);
    }
}

// Which route a selection read through the accessibility service goes back by, and why.
TEST_F(CaptureTest, TheElementTakesTheResultDirectlyOnlyWhenEveryConditionHolds)
{
    using enum AccessibleEdit;
    const struct {
        const char* toolkit;
        bool singleLine, onTerminal, forced;
        AccessibleEdit outcome;
        const char* reason; // none: written straight into the element
    } rows[] = {
        // clang-format off
        {"GTK", false, false, false, replaced, nullptr},
        {"Qt", true, false, false, replaced, "single-line Qt fields lose their undo history"},
        {"Gecko", false, false, false, replaced, "toolkit \"Gecko\" is not known to take EditableText well"},
        {"GTK", false, true, false, replaced, "terminals take paste"},
        {"GTK", false, false, true, replaced, "forcePasteReplace is set"},
        {"GTK", false, false, false, gone, "the element is gone"},
        {"GTK", false, false, false, textChanged, "the selected text changed since capture"},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason ? row.reason : row.toolkit);
        nextRow();
        ASSERT_TRUE(UserDefaults::standard().set(DefaultsKey::forcePasteReplace, row.forced));
        textEditor.outcome = row.outcome;
        TargetApplication target = row.onTerminal ? terminal : editor;
        target.accessible = AccessibleSelection{.start = 3,
                                                .end = 7,
                                                .text = u"word"_s,
                                                .toolkit = QLatin1String(row.toolkit),
                                                .singleLine = row.singleLine};

        runPaste(u"Text"_s, target);

        const QString calls = journal.entries().join(u'\n');
        EXPECT_EQ(calls.contains("editor.replace(3-7 Text)"),
                  !row.reason || row.outcome != replaced);
        if (!row.reason) {
            // Nothing else is touched: no clipboard, no keys, no activation.
            EXPECT_EQ(journal.entries().size(), 2);
            EXPECT_EQ(log.lines(), QStringList{"info replace: replaced via EditableText in "
                                               "notes.txt - Mousepad (4 chars)"});
        } else {
            EXPECT_EQ(log.lines().value(0), u"info replace: replacing via paste: "_s + row.reason);
            // Terminals paste with the shifted chord.
            EXPECT_TRUE(
                calls.contains(row.onTerminal ? "keys.post(Ctrl+Shift+V)" : "keys.post(Ctrl+V)"));
        }
        EXPECT_EQ(pasteboard.contents, usersClipboard);
    }
}

TEST_F(CaptureTest, AClipboardWrittenMeanwhileIsKeptAndAnEmptyOneIsEmptyAgain)
{
    const PasteboardSnapshot newer = clipboardOf({{u"text/plain"_s, "newer copy"}});
    // When another writer puts its copy there, counted from the start of the paste.
    const std::pair<std::chrono::milliseconds, bool> rows[] = {
        {1ms, true}, {400ms, true}, {401ms, false}};
    for (const auto& [writesAt, kept] : rows) {
        SCOPED_TRACE(writesAt.count());
        nextRow();
        pasteboard.otherApplicationWrites(in(writesAt), newer);

        runPaste(u"Better text."_s, editor);

        if (kept) {
            EXPECT_EQ(log.lines().last(),
                      "info replace: clipboard changed since our write — leaving it alone");
            EXPECT_EQ(journal.entries().last(), "done@400");
            EXPECT_EQ(pasteboard.contents, newer);
        } else {
            EXPECT_EQ(log.lines().last(), "info replace: clipboard restored");
        }
    }
    nextRow();
    pasteboard.contents = {};
    runPaste(u"Better text."_s, editor);
    EXPECT_TRUE(pasteboard.contents.isEmpty());
    EXPECT_EQ(journal.entries().value(3), "pasteboard.write(empty)@400");
}

TEST_F(CaptureTest, HeldKeysDelayThePaste)
{
    // The longest paste: 300 ms for the activation, 500 ms for the modifiers, 400 ms.
    keys.modifiersReleasedAt = 10s;
    windows.activeWindow = 0x999;
    windows.activationDelay.reset();
    runPaste(u"Better text."_s, editor);
    EXPECT_TRUE(journal.entries().contains("keys.post(Ctrl+V)@800"));
    EXPECT_EQ(journal.entries().last(), "done@1200");
    EXPECT_EQ(log.lines(),
              QStringList({"error capture: modifiers still held after 500ms — posting anyway",
                           "info replace: posted ⌘V into notes.txt - Mousepad",
                           "info replace: clipboard restored"}));

    // While the panel key that chose Replace (Alt+1) is down the keyboard belongs to us, and a
    // Ctrl+V typed then would never reach the editor.
    nextRow();
    windows.activeWindow = editor.windowID;
    keys.shortcutReleasedAt = in(50ms);
    runPaste(u"Better text."_s, editor);
    EXPECT_EQ(journal.entries(),
              QStringList({"pasteboard.snapshot@0", ourItem, "keys.post(Ctrl+V)@50",
                           restoreOf(usersClipboard, 450), "done@450"}));
}

} // namespace
