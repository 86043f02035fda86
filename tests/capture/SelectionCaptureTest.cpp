// SPDX-License-Identifier: MIT
#include "CaptureTestSupport.h"

#include "settings/Preferences.h"

namespace {

TEST_F(CaptureTest, UsableAccessibilityTextIsTakenAsItIsWithoutTouchingTheClipboard)
{
    focusedText.selection = QStringLiteral(" word ");
    secureInput.active = true; // matters only to the copy command

    const std::optional<CapturedSelection> captured = runCapture();

    ASSERT_TRUE(captured);
    TargetApplication read = editor;
    read.accessible = AccessibleSelection{.text = QStringLiteral(" word ")};
    EXPECT_EQ(*captured, (CapturedSelection{QStringLiteral(" word "), CaptureMethod::ax, read}));
    EXPECT_EQ(log.lines(), QStringList{"info capture: captured via ax (6 chars)"});
    EXPECT_EQ(journal.entries(), QStringList({"focusedText.read(18874375 Mousepad)@0", "done@0"}));
    EXPECT_EQ(pasteboard.contents, usersClipboard);
    EXPECT_EQ(keys.modifierChecks, 0);
}

TEST_F(CaptureTest, TheAccessibilityServiceIsAskedOnceTheShortcutKeyIsUpOrAfterHalfASecond)
{
    focusedText.selection = QStringLiteral("word");

    keys.shortcutReleasedAt = 50ms;
    ASSERT_TRUE(runCapture());
    EXPECT_EQ(journal.entries().first(), QStringLiteral("focusedText.read(18874375 Mousepad)@50"));

    // A key that never comes up does not hold the capture back for good.
    journal.clear();
    const std::chrono::milliseconds start = fakeClock.clock.monotonicNow();
    keys.shortcutReleasedAt = start + 10s;
    ASSERT_TRUE(runCapture());
    EXPECT_EQ(
        journal.entries().first(),
        QStringLiteral("focusedText.read(18874375 Mousepad)@%1").arg((start + 500ms).count()));
}

// What the accessibility service answers, and why the copy command must run after it.
struct UnusableAnswer {
    const char* name;
    std::optional<QString> selection;
};

void PrintTo(const UnusableAnswer& row, std::ostream* os)
{
    *os << row.name;
}

class UnusableAccessibilityText : public CaptureTest,
                                  public ::testing::WithParamInterface<UnusableAnswer> {};

TEST_P(UnusableAccessibilityText, FallsBackToTheCopyCommand)
{
    focusedText.selection = GetParam().selection;
    applicationCopies(QStringLiteral(" copied\n"), 45ms);

    const std::optional<CapturedSelection> captured = runCapture();

    ASSERT_TRUE(captured);
    EXPECT_EQ(*captured,
              (CapturedSelection{QStringLiteral(" copied\n"), CaptureMethod::clipboard, editor}));
    EXPECT_EQ(log.lines(), QStringList{"info capture: captured via clipboard (8 chars)"});
    // The copy is seen the moment it lands, and the user's clipboard is put back right then.
    const QString restore =
        QStringLiteral("pasteboard.write(%1)@45").arg(FakePasteboard::describe(usersClipboard));
    EXPECT_EQ(journal.entries(),
              QStringList({"focusedText.read(18874375 Mousepad)@0", "pasteboard.snapshot@0",
                           "keys.post(Ctrl+C)@0", restore, "done@45"}));
    EXPECT_EQ(pasteboard.contents, usersClipboard);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, UnusableAccessibilityText,
    ::testing::Values(UnusableAnswer{"nothing", std::nullopt}, UnusableAnswer{"empty", QString()},
                      UnusableAnswer{"spaces", QStringLiteral("   ")},
                      UnusableAnswer{"lineBreak", QStringLiteral("\n")},
                      UnusableAnswer{"mixedWhiteSpace", QStringLiteral("\t \r\n\u00a0\u2003")},
                      // A browser's selection across paragraphs: the others as placeholders.
                      UnusableAnswer{"embeddedObjects", QStringLiteral("beta gamma\ufffc")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CaptureTest, ForcedClipboardCaptureNeverAsksTheAccessibilityService)
{
    setDefault(DefaultsKey::forceClipboardCapture, true);
    focusedText.selection = QStringLiteral("from accessibility");
    applicationCopies(QStringLiteral("from the copy"), 10ms);

    const std::optional<CapturedSelection> captured = runCapture();

    ASSERT_TRUE(captured);
    EXPECT_EQ(captured->method, CaptureMethod::clipboard);
    EXPECT_EQ(captured->text, QStringLiteral("from the copy"));
    EXPECT_FALSE(journal.entries().join(u'\n').contains(QStringLiteral("focusedText")));
}

// When the copy lands, counted from the keystroke, and what the capture makes of it.
struct CopyTiming {
    const char* name;
    std::chrono::milliseconds copyLandsAt;
    bool captured;
    int restoredAt;
};

void PrintTo(const CopyTiming& row, std::ostream* os)
{
    *os << row.name;
}

class CopyWait : public CaptureTest, public ::testing::WithParamInterface<CopyTiming> {};

TEST_P(CopyWait, TakesTheCopyWhenItLandsWithinFourHundredEightyMillisecondsAndAlwaysRestores)
{
    applicationCopies(QStringLiteral("late"), GetParam().copyLandsAt);

    const std::optional<CapturedSelection> captured = runCapture();

    EXPECT_EQ(captured.has_value(), GetParam().captured);
    EXPECT_EQ(log.lines().last(),
              GetParam().captured ? QStringLiteral("info capture: captured via clipboard (4 chars)")
                                  : QStringLiteral("info capture: no selection captured"));
    const QStringList entries = journal.entries();
    ASSERT_EQ(entries.size(), 5);
    EXPECT_EQ(entries[3], QStringLiteral("pasteboard.write(%1)@%2")
                              .arg(FakePasteboard::describe(usersClipboard),
                                   QString::number(GetParam().restoredAt)));
    EXPECT_EQ(pasteboard.contents, usersClipboard);
}

INSTANTIATE_TEST_SUITE_P(Timings, CopyWait,
                         ::testing::Values(CopyTiming{"atOnce", 0ms, true, 0},
                                           CopyTiming{"after3ms", 3ms, true, 3},
                                           CopyTiming{"atTheDeadline", 480ms, true, 480},
                                           CopyTiming{"afterTheDeadline", 481ms, false, 480},
                                           CopyTiming{"never", 10000ms, false, 480}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CaptureTest, ACopyWithoutPlainTextOrOfWhiteSpaceOnlyIsNoSelection)
{
    for (const auto& [type, bytes] : {std::pair{"image/png", QByteArray("\x89PNG")},
                                      std::pair{"text/plain", QByteArray(" \n ")}}) {
        SCOPED_TRACE(type);
        log.sink.clear();
        keys.onPost = [this, type, bytes](EditCommand) {
            pasteboard.otherApplicationWrites(0ms,
                                              clipboardOf({{QString::fromLatin1(type), bytes}}));
        };

        EXPECT_FALSE(runCapture());
        EXPECT_EQ(log.lines(), QStringList{"info capture: no selection captured"});
        EXPECT_EQ(pasteboard.contents, usersClipboard);
    }
}

TEST_F(CaptureTest, AnEmptyClipboardIsEmptyAgainAfterTheFallback)
{
    pasteboard.contents = {};
    applicationCopies(QStringLiteral("copied"), 0ms);

    ASSERT_TRUE(runCapture());

    EXPECT_TRUE(pasteboard.contents.isEmpty());
    EXPECT_TRUE(journal.entries().contains(QStringLiteral("pasteboard.write(empty)@0")));
}

// When the trigger's modifiers come up, and when the copy is typed.
struct ModifierRelease {
    const char* name;
    std::chrono::milliseconds releasedAt;
    int postedAt;
    int checks;
    bool gaveUp;
};

void PrintTo(const ModifierRelease& row, std::ostream* os)
{
    *os << row.name;
}

class ModifierWait : public CaptureTest, public ::testing::WithParamInterface<ModifierRelease> {};

TEST_P(ModifierWait, TheCopyIsTypedOnceTheModifiersAreUpOrAfterHalfASecond)
{
    keys.modifiersReleasedAt = GetParam().releasedAt;
    applicationCopies(QStringLiteral("copied"), 0ms);

    ASSERT_TRUE(runCapture());

    EXPECT_TRUE(journal.entries().contains(
        QStringLiteral("keys.post(Ctrl+C)@%1").arg(GetParam().postedAt)));
    EXPECT_EQ(keys.modifierChecks, GetParam().checks);
    const QString gaveUp =
        QStringLiteral("error capture: modifiers still held after 500ms — posting anyway");
    EXPECT_EQ(log.lines().contains(gaveUp), GetParam().gaveUp);
    // The snapshot is taken after the wait, so a copy made while waiting is not lost.
    EXPECT_TRUE(journal.entries().contains(
        QStringLiteral("pasteboard.snapshot@%1").arg(GetParam().postedAt)));
}

INSTANTIATE_TEST_SUITE_P(Releases, ModifierWait,
                         ::testing::Values(ModifierRelease{"notHeld", 0ms, 0, 1, false},
                                           ModifierRelease{"releasedAt5ms", 5ms, 5, 2, false},
                                           ModifierRelease{"releasedAt499ms", 499ms, 499, 2, false},
                                           ModifierRelease{"releasedAt501ms", 501ms, 500, 2, true},
                                           ModifierRelease{"heldOn", 60000ms, 500, 2, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CaptureTest, CharactersAreCountedAsTheUserSeesThem)
{
    const struct {
        QString text;
        int count;
    } rows[] = {
        {QStringLiteral("😀😀😀ab"), 5},
        {QStringLiteral("👨‍👩‍👧 e\u0301"), 3},
        {QStringLiteral("\r\n"), 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        log.sink.clear();
        focusedText.selection = row.text + QStringLiteral("x");
        ASSERT_TRUE(runCapture());
        EXPECT_EQ(
            log.lines(),
            QStringList{
                QStringLiteral("info capture: captured via ax (%1 chars)").arg(row.count + 1)});
    }
}

TEST_F(CaptureTest, WithoutAFrontmostWindowOrKeysTheCaptureDoesWhatItCan)
{
    windows.front.reset();
    applicationCopies(QStringLiteral("text"), 0ms);
    std::optional<CapturedSelection> captured = runCapture();
    ASSERT_TRUE(captured);
    EXPECT_EQ(captured->targetApp, std::nullopt);
    EXPECT_TRUE(journal.entries().contains(QStringLiteral("focusedText.read()@0")));
    EXPECT_TRUE(journal.entries().contains(QStringLiteral("keys.post(Ctrl+C)@0")));

    // A native Wayland application: the element read is kept for Replace, with no window.
    focusedText.selection = QStringLiteral("word");
    captured = runCapture();
    ASSERT_TRUE(captured);
    EXPECT_EQ(captured->targetApp,
              TargetApplication{.accessible = AccessibleSelection{.text = QStringLiteral("word")}});

    // Where nothing can type, the copy command is not even tried.
    focusedText.selection.reset();
    keys.typing = false;
    journal.clear();
    log.sink.clear();
    EXPECT_FALSE(runCapture());
    EXPECT_EQ(log.lines(), QStringList({"info capture: no way to type keys here — copy fallback "
                                        "skipped",
                                        "info capture: no selection captured"}));
    EXPECT_FALSE(journal.entries().join(u' ').contains(QStringLiteral("keys.post")));
    EXPECT_EQ(pasteboard.contents, usersClipboard);
}

} // namespace
