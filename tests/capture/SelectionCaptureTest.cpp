// SPDX-License-Identifier: MIT
#include "CaptureTestSupport.h"

#include "settings/Preferences.h"

namespace {

TEST_F(CaptureTest, UsableAccessibilityTextIsTakenAsItIsWithoutTouchingTheClipboard)
{
    focusedText.selection = u" word "_s;
    secureInput.active = true; // matters only to the copy command

    const std::optional<CapturedSelection> captured = runCapture();

    ASSERT_TRUE(captured);
    TargetApplication read = editor;
    read.accessible = AccessibleSelection{.text = u" word "_s};
    EXPECT_EQ(*captured, (CapturedSelection{u" word "_s, CaptureMethod::ax, read}));
    EXPECT_EQ(log.lines(), QStringList{"info capture: captured via ax (6 chars)"});
    EXPECT_EQ(journal.entries(), QStringList({"focusedText.read(18874375 Mousepad)@0", "done@0"}));
    EXPECT_EQ(pasteboard.contents, usersClipboard);
    EXPECT_EQ(keys.modifierChecks, 0);
}

// Where the shortcut's key holds the keyboard, the window gets it back for a read at the press;
// when that finds nothing, the read waits for the key to come up, as where the desktop holds it.
TEST_F(CaptureTest, TheSelectionIsReadAtThePressWhereTheKeyboardCanBeLent)
{
    const QString read = u"focusedText.read(18874375 Mousepad)"_s;
    const struct {
        bool lendable;
        int unanswered;
        QStringList entries;
    } rows[] = {
        {true, 0, {"keys.lend@0", read + "@0", "keys.reclaim@0", "done@0"}},
        {true, 1, {"keys.lend@0", read + "@0", "keys.reclaim@0", read + "@100", "done@100"}},
        {false, 0, {read + "@100", "done@100"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.entries.join(u' ').toStdString());
        nextRow();
        keys.lendable = row.lendable;
        keys.shortcutReleasedAt = in(100ms);
        focusedText.selection = u"word"_s;
        focusedText.unanswered = row.unanswered;
        ASSERT_TRUE(runCapture());
        EXPECT_EQ(journal.entries(), row.entries);
    }
}

TEST_F(CaptureTest, UnusableAccessibilityTextFallsBackToTheCopyCommand)
{
    const std::optional<QString> answers[] = {
        std::nullopt,          u""_s, u"   "_s, u"\n"_s, u"\t \r\n\u00a0\u2003"_s,
        u"beta gamma\ufffc"_s, // a browser's selection across paragraphs: objects as placeholders
    };
    for (const std::optional<QString>& answer : answers) {
        SCOPED_TRACE(answer.value_or("none").toStdString());
        nextRow();
        focusedText.selection = answer;
        applicationCopies(u" copied\n"_s, 45ms);

        const std::optional<CapturedSelection> captured = runCapture();

        ASSERT_TRUE(captured);
        EXPECT_EQ(*captured, (CapturedSelection{u" copied\n"_s, CaptureMethod::clipboard, editor}));
        EXPECT_EQ(log.lines(), QStringList{"info capture: captured via clipboard (8 chars)"});
        // The copy is seen the moment it lands, and the user's clipboard is put back right then.
        EXPECT_EQ(journal.entries(),
                  QStringList({"focusedText.read(18874375 Mousepad)@0", "pasteboard.snapshot@0",
                               "keys.post(Ctrl+C)@0", restoreOf(usersClipboard, 45), "done@45"}));
        EXPECT_EQ(pasteboard.contents, usersClipboard);
    }
}

TEST_F(CaptureTest, TakesTheCopyWhenItLandsWithinFourHundredEightyMillisecondsAndAlwaysRestores)
{
    const struct {
        std::chrono::milliseconds copyLandsAt;
        bool captured;
        int restoredAt;
    } rows[] = {
        {0ms, true, 0},      {3ms, true, 3},        {480ms, true, 480},
        {481ms, false, 480}, {10000ms, false, 480},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.copyLandsAt.count());
        nextRow();
        applicationCopies(u"late"_s, row.copyLandsAt);

        EXPECT_EQ(runCapture().has_value(), row.captured);

        EXPECT_EQ(log.lines().last(), row.captured
                                          ? "info capture: captured via clipboard (4 chars)"
                                          : "info capture: no selection captured");
        const QStringList entries = journal.entries();
        ASSERT_EQ(entries.size(), 5);
        EXPECT_EQ(entries[3], restoreOf(usersClipboard, row.restoredAt));
        EXPECT_EQ(pasteboard.contents, usersClipboard);
    }
}

TEST_F(CaptureTest, ACopyWithoutPlainTextOrOfWhiteSpaceOnlyIsNoSelection)
{
    for (const auto& [type, bytes] : {std::pair{"image/png", QByteArray("\x89PNG")},
                                      std::pair{"text/plain", QByteArray(" \n ")}}) {
        SCOPED_TRACE(type);
        nextRow();
        keys.onPost = [this, type, bytes](EditCommand) {
            pasteboard.otherApplicationWrites(0ms,
                                              clipboardOf({{QString::fromLatin1(type), bytes}}));
        };
        EXPECT_FALSE(runCapture());
        EXPECT_EQ(log.lines(), QStringList{"info capture: no selection captured"});
        EXPECT_EQ(pasteboard.contents, usersClipboard);
    }
    // An empty clipboard is empty again after the fallback.
    nextRow();
    pasteboard.contents = {};
    applicationCopies(u"copied"_s, 0ms);
    ASSERT_TRUE(runCapture());
    EXPECT_TRUE(pasteboard.contents.isEmpty());
    EXPECT_FALSE(journal.entries().filter("pasteboard.write(empty)").isEmpty());
}

TEST_F(CaptureTest, TheCopyIsTypedOnceTheModifiersAreUpOrAfterHalfASecond)
{
    const struct {
        std::chrono::milliseconds releasedAt;
        int postedAt;
        int checks;
        bool gaveUp;
    } rows[] = {
        {0ms, 0, 1, false},    {5ms, 5, 2, false},      {499ms, 499, 2, false},
        {501ms, 500, 2, true}, {60000ms, 500, 2, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.releasedAt.count());
        nextRow();
        keys.modifiersReleasedAt = in(row.releasedAt);
        keys.modifierChecks = 0;
        applicationCopies(u"copied"_s, 0ms);

        ASSERT_TRUE(runCapture());

        const QString postedAt = u"@%1"_s.arg(row.postedAt);
        EXPECT_TRUE(journal.entries().contains("keys.post(Ctrl+C)" + postedAt));
        EXPECT_EQ(keys.modifierChecks, row.checks);
        EXPECT_EQ(log.lines().contains(
                      "error capture: modifiers still held after 500ms — posting anyway"),
                  row.gaveUp);
        // The snapshot is taken after the wait, so a copy made while waiting is not lost.
        EXPECT_TRUE(journal.entries().contains("pasteboard.snapshot" + postedAt));
    }
}

// Where nothing can type keys, the copy command is not even tried. (Without a frontmost window,
// as for a native Wayland application: the Wayland round trips in tests/e2e.)
TEST_F(CaptureTest, WhereNothingCanTypeTheCopyIsNotTried)
{
    keys.typing = false;
    EXPECT_FALSE(runCapture());
    EXPECT_EQ(log.lines(),
              QStringList({"info capture: no way to type keys here — copy fallback skipped",
                           "info capture: no selection captured"}));
    EXPECT_TRUE(journal.entries().filter("keys.post").isEmpty());
    EXPECT_EQ(pasteboard.contents, usersClipboard);
}

} // namespace
