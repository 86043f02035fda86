// SPDX-License-Identifier: MIT
#pragma once

#include "capture/Replacer.h"
#include "capture/SelectionCapture.h"
#include "platform/AccessibleTextEditor.h"
#include "platform/FocusedTextReader.h"
#include "settings/Preferences.h"
#include "settings/UserDefaults.h"
#include "support/TestEnvironment.h"
#include "support/fakes/CallJournal.h"
#include "support/fakes/FakeFrontmostWindows.h"
#include "support/fakes/FakeKeystrokeSender.h"
#include "support/fakes/FakePasteboard.h"
#include "support/fakes/FakeSecureInput.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

// Answers with `selection`, except to the first `unanswered` reads (a window that has not yet
// heard it has the focus). Records "focusedText.read(WINDOW CLASS)", or "focusedText.read()"
// when no application was given.
class FakeFocusedTextReader final : public FocusedTextReader {
public:
    explicit FakeFocusedTextReader(CallJournal& journal)
        : m_journal(journal)
    {}
    std::optional<AccessibleSelection>
    readSelection(const std::optional<TargetApplication>& front) override
    {
        m_journal.record(u"focusedText.read(%1)"_s.arg(
            front ? QString::number(front->windowID) + u' ' + front->wmClass : QString()));
        if (!selection || unanswered-- > 0)
            return std::nullopt;
        return AccessibleSelection{.text = *selection};
    }
    std::optional<QString> selection;
    int unanswered = 0;

private:
    CallJournal& m_journal;
};

// Answers with `outcome`. Records "editor.replace(START-END TEXT)".
class FakeAccessibleTextEditor final : public AccessibleTextEditor {
public:
    explicit FakeAccessibleTextEditor(CallJournal& journal)
        : m_journal(journal)
    {}
    AccessibleEdit replace(const AccessibleSelection& where, const QString& text) override
    {
        m_journal.record(u"editor.replace(%1-%2 %3)"_s.arg(where.start).arg(where.end).arg(text));
        return outcome;
    }
    AccessibleEdit outcome = AccessibleEdit::replaced;

private:
    CallJournal& m_journal;
};

// A clipboard holding one item with these types and bytes.
inline PasteboardSnapshot clipboardOf(std::initializer_list<std::pair<QString, QByteArray>> types)
{
    PasteboardSnapshot::Item item;
    for (const auto& [type, bytes] : types)
        item.insert(type, bytes);
    return PasteboardSnapshot{{item}};
}

// Capture and paste-back on a desktop of recording fakes, private settings and a clock
// that moves only when the test runs a task to its end. The journal's times count from
// its last clear().
class CaptureTest : public ::testing::Test {
protected:
    CaptureTest()
    {
        windows.front = editor;
        windows.activeWindow = editor.windowID;
        pasteboard.contents = usersClipboard;
    }

    // For the next row of a table: whatever was still to land on the clipboard or to be
    // activated has landed, the editor is active with the user's clipboard, and the journal
    // and log start afresh.
    void nextRow()
    {
        fakeClock.advance(1min);
        (void)pasteboard.changeCount();
        (void)windows.isActive(editor);
        windows.activeWindow = editor.windowID;
        pasteboard.contents = usersClipboard;
        keys.onPost = nullptr;
        journal.clear();
        log.sink.clear();
    }
    // A time `after` now, for the fakes that take monotonic times.
    std::chrono::milliseconds in(std::chrono::milliseconds after) const
    {
        return fakeClock.monotonicNow() + after;
    }
    // What the journal says when the clipboard is written back with `snapshot` at `at`.
    static QString restoreOf(const PasteboardSnapshot& snapshot, int at)
    {
        return u"pasteboard.write(%1)@%2"_s.arg(FakePasteboard::describe(snapshot)).arg(at);
    }

    // The application answers the copy command by putting this text on the clipboard
    // `after` the keystroke.
    void applicationCopies(const QString& text, std::chrono::milliseconds after)
    {
        keys.onPost = [this, text, after](EditCommand command) {
            if (command == EditCommand::copy)
                pasteboard.otherApplicationWrites(in(after),
                                                  clipboardOf({{u"text/plain"_s, text.toUtf8()}}));
        };
    }

    // Moves the clock a millisecond at a time until the task has finished (at most a minute)
    // and notes the moment in the journal as "done".
    template <class T> T finish(QCoro::Task<T> task)
    {
        for (int ms = 0; ms < 60'000 && !task.isReady(); ++ms)
            fakeClock.advance(1ms);
        EXPECT_TRUE(task.isReady()) << "the task never finished";
        journal.record(u"done"_s);
        return QCoro::waitFor(std::move(task));
    }

    std::optional<CapturedSelection> runCapture() { return finish(capture.capture()); }
    void runPaste(const QString& text, std::optional<TargetApplication> target)
    {
        finish(replacer.paste(text, std::move(target)));
    }

    const TargetApplication editor{0x1200007, 4242, u"Mousepad"_s, u"notes.txt - Mousepad"_s};
    const TargetApplication terminal{0x1400003, 5151, u"XTerm"_s, u"bash"_s};
    const PasteboardSnapshot usersClipboard =
        clipboardOf({{u"text/plain"_s, QByteArray("user's text")},
                     {u"text/html"_s, QByteArray("<b>user's</b> text")},
                     {u"application/x-blob"_s, QByteArray("\x00\xff\x01", 3)}});

    ScopedConfigHome home;
    Preferences preferences{UserDefaults::standard()};
    FakeClock fakeClock;
    ScopedLogCapture log;
    CallJournal journal{&fakeClock};
    FakeFrontmostWindows windows{journal, fakeClock};
    FakeFocusedTextReader focusedText{journal};
    FakeSecureInput secureInput;
    FakeKeystrokeSender keys{journal, fakeClock};
    FakePasteboard pasteboard{journal, fakeClock};
    SelectionCapture capture{windows,    focusedText, secureInput, keys,
                             pasteboard, fakeClock,   preferences};
    FakeAccessibleTextEditor textEditor{journal};
    Replacer replacer{windows, keys, pasteboard, textEditor, fakeClock, preferences};
};
