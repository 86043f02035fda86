// SPDX-License-Identifier: MIT
#include "CaptureTestSupport.h"

#include "settings/Preferences.h"

namespace {

QString restoreOf(const PasteboardSnapshot& snapshot, int at)
{
    return QStringLiteral("pasteboard.write(%1)@%2")
        .arg(FakePasteboard::describe(snapshot), QString::number(at));
}

const QString ourItem =
    QStringLiteral("pasteboard.write(org.nspasteboard.TransientType= "
                   "text/plain=Better text. x-kde-passwordManagerHint=secret)@0");

TEST_F(CaptureTest, PasteIntoTheActiveTargetRestoresTheClipboardFourHundredMillisecondsLater)
{
    runPaste(QStringLiteral("Better text."), editor);

    EXPECT_EQ(journal.entries(),
              QStringList({"pasteboard.snapshot@0", ourItem, "keys.post(Ctrl+V)@0",
                           restoreOf(usersClipboard, 400), "done@400"}));
    EXPECT_EQ(log.lines(), QStringList({"info replace: posted ⌘V into notes.txt - Mousepad",
                                        "info replace: clipboard restored"}));
    EXPECT_EQ(pasteboard.contents, usersClipboard);
}

// How long the window manager takes to bring the target back, and when the paste follows.
struct Activation {
    const char* name;
    std::optional<std::chrono::milliseconds> delay;
    int postedAt;
};

void PrintTo(const Activation& row, std::ostream* os)
{
    *os << row.name;
}

class TargetActivation : public CaptureTest, public ::testing::WithParamInterface<Activation> {};

TEST_P(TargetActivation, AnInactiveTargetIsActivatedAndThePasteFollowsAsSoonAsItIsActive)
{
    windows.activeWindow = 0x999;
    windows.activationDelay = GetParam().delay;

    runPaste(QStringLiteral("Better text."), editor);

    const int posted = GetParam().postedAt;
    EXPECT_EQ(journal.entries(),
              QStringList({"pasteboard.snapshot@0", ourItem, "windows.activate(18874375)@0",
                           QStringLiteral("keys.post(Ctrl+V)@%1").arg(posted),
                           restoreOf(usersClipboard, posted + 400),
                           QStringLiteral("done@%1").arg(posted + 400)}));
    EXPECT_EQ(log.lines(), QStringList({"info replace: posted ⌘V into notes.txt - Mousepad",
                                        "info replace: clipboard restored"}));
}

INSTANTIATE_TEST_SUITE_P(Delays, TargetActivation,
                         ::testing::Values(Activation{"atOnce", 0ms, 0},
                                           Activation{"after7ms", 7ms, 7},
                                           Activation{"atTheDeadline", 300ms, 300},
                                           Activation{"tooLate", 301ms, 300},
                                           Activation{"never", std::nullopt, 300}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CaptureTest, TheLogNamesTheTargetByTitleThenClassThenAsFrontmostApp)
{
    const struct {
        std::optional<TargetApplication> target;
        QString line;
    } rows[] = {
        {editor, QStringLiteral("info replace: posted ⌘V into notes.txt - Mousepad")},
        {TargetApplication{0x1200007, 4242, QStringLiteral("Mousepad"), QString()},
         QStringLiteral("info replace: posted ⌘V into Mousepad")},
        {TargetApplication{0x1200007, 0, QString(), QString()},
         QStringLiteral("info replace: posted ⌘V into frontmost app")},
        {std::nullopt, QStringLiteral("info replace: posted ⌘V into frontmost app")},
        // A native Wayland application: no window to bring back.
        {TargetApplication{}, QStringLiteral("info replace: posted ⌘V into frontmost app")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line.toStdString());
        log.sink.clear();
        journal.clear();
        // Another window is in front: only a known target is brought back.
        windows.activeWindow = 0x999;
        runPaste(QStringLiteral("x"), row.target);
        EXPECT_EQ(log.lines().value(0), row.line);
        EXPECT_EQ(journal.entries().join(u' ').contains(QStringLiteral("windows.activate")),
                  row.target && row.target->windowID != 0);
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
        {"GTK", false, false, false, replaced, nullptr},
        {"Qt", false, false, false, replaced, nullptr},
        {"Qt", true, false, false, replaced, "single-line Qt fields lose their undo history"},
        {"Gecko", false, false, false, replaced,
         "toolkit \"Gecko\" is not known to take EditableText well"},
        {"GTK", false, true, false, replaced, "terminals take paste"},
        {"GTK", false, false, true, replaced, "forcePasteReplace is set"},
        {"GTK", false, false, false, gone, "the element is gone"},
        {"GTK", false, false, false, notEditable, "the element is not editable"},
        {"GTK", false, false, false, noEditableText, "the element offers no EditableText"},
        {"GTK", false, false, false, textChanged, "the selected text changed since capture"},
        {"GTK", false, false, false, failed, "the accessibility service refused the edit"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason ? row.reason : row.toolkit);
        journal.clear();
        log.sink.clear();
        setDefault(DefaultsKey::forcePasteReplace, row.forced);
        textEditor.outcome = row.outcome;
        TargetApplication target = row.onTerminal ? terminal : editor;
        target.accessible = AccessibleSelection{.start = 3,
                                                .end = 7,
                                                .text = QStringLiteral("word"),
                                                .toolkit = QLatin1String(row.toolkit),
                                                .singleLine = row.singleLine};

        runPaste(QStringLiteral("Text"), target);

        const QString calls = journal.entries().join(u'\n');
        EXPECT_EQ(calls.contains(QStringLiteral("editor.replace(3-7 Text)")),
                  !row.reason || row.outcome != replaced);
        if (!row.reason) {
            // Nothing else is touched: no clipboard, no keys, no activation.
            EXPECT_EQ(journal.entries().size(), 2);
            EXPECT_EQ(log.lines(), QStringList{"info replace: replaced via EditableText in "
                                               "notes.txt - Mousepad (4 chars)"});
        } else {
            EXPECT_EQ(log.lines().value(0),
                      QStringLiteral("info replace: replacing via paste: ") + row.reason);
            // Terminals paste with the shifted chord.
            EXPECT_TRUE(
                calls.contains(row.onTerminal ? "keys.post(Ctrl+Shift+V)" : "keys.post(Ctrl+V)"));
        }
        EXPECT_EQ(pasteboard.contents, usersClipboard);
    }
}

// Another writer puts this on the clipboard at this time after the paste started.
struct OtherWriter {
    const char* name;
    std::chrono::milliseconds writesAt;
    bool kept;
};

void PrintTo(const OtherWriter& row, std::ostream* os)
{
    *os << row.name;
}

class ClipboardWrittenMeanwhile : public CaptureTest,
                                  public ::testing::WithParamInterface<OtherWriter> {};

TEST_P(ClipboardWrittenMeanwhile, ANewerClipboardIsKept)
{
    const PasteboardSnapshot newer = clipboardOf({{QStringLiteral("text/plain"), "newer copy"}});
    pasteboard.otherApplicationWrites(GetParam().writesAt, newer);

    runPaste(QStringLiteral("Better text."), editor);

    if (GetParam().kept) {
        EXPECT_EQ(log.lines().last(), QStringLiteral("info replace: clipboard changed since our "
                                                     "write — leaving it alone"));
        EXPECT_EQ(journal.entries().last(), QStringLiteral("done@400"));
        EXPECT_EQ(pasteboard.contents, newer);
    } else {
        EXPECT_EQ(log.lines().last(), QStringLiteral("info replace: clipboard restored"));
    }
}

INSTANTIATE_TEST_SUITE_P(Moments, ClipboardWrittenMeanwhile,
                         ::testing::Values(OtherWriter{"rightAfterThePaste", 1ms, true},
                                           OtherWriter{"atTheDeadline", 400ms, true},
                                           OtherWriter{"afterTheRestore", 401ms, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CaptureTest, AnEmptyClipboardIsEmptyAgainAfterThePaste)
{
    pasteboard.contents = {};

    runPaste(QStringLiteral("Better text."), editor);

    EXPECT_TRUE(pasteboard.contents.isEmpty());
    EXPECT_EQ(journal.entries().value(3), QStringLiteral("pasteboard.write(empty)@400"));
}

TEST_F(CaptureTest, HeldModifiersDelayThePasteAndAreLoggedUnderCapture)
{
    keys.modifiersReleasedAt = 10s;
    windows.activeWindow = 0x999;
    windows.activationDelay.reset();

    runPaste(QStringLiteral("Better text."), editor);

    // The longest paste: 300 ms for the activation, 500 ms for the modifiers, 400 ms.
    EXPECT_TRUE(journal.entries().contains(QStringLiteral("keys.post(Ctrl+V)@800")));
    EXPECT_EQ(journal.entries().last(), QStringLiteral("done@1200"));
    EXPECT_EQ(log.lines(),
              QStringList({"error capture: modifiers still held after 500ms — posting anyway",
                           "info replace: posted ⌘V into notes.txt - Mousepad",
                           "info replace: clipboard restored"}));
}

TEST_F(CaptureTest, ThePasteWaitsForThePanelKeyThatChoseReplaceToComeUp)
{
    // While Alt+1 is down the keyboard belongs to us, and a Ctrl+V typed then would never
    // reach the editor.
    keys.shortcutReleasedAt = 50ms;

    runPaste(QStringLiteral("Better text."), editor);

    EXPECT_EQ(journal.entries(),
              QStringList({"pasteboard.snapshot@0", ourItem, "keys.post(Ctrl+V)@50",
                           restoreOf(usersClipboard, 450), "done@450"}));
}

} // namespace
