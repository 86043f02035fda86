// SPDX-License-Identifier: MIT
#pragma once

#include "capture/Replacer.h"
#include "capture/SelectionCapture.h"
#include "settings/UserDefaults.h"
#include "support/TestEnvironment.h"
#include "support/fakes/CallJournal.h"
#include "support/fakes/FakeAccessibleTextEditor.h"
#include "support/fakes/FakeFocusedTextReader.h"
#include "support/fakes/FakeFrontmostWindows.h"
#include "support/fakes/FakeKeystrokeSender.h"
#include "support/fakes/FakePasteboard.h"
#include "support/fakes/FakeSecureInput.h"

#include <QJsonValue>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

// A clipboard holding one item with these types and bytes.
inline PasteboardSnapshot clipboardOf(std::initializer_list<std::pair<QString, QByteArray>> types)
{
    PasteboardSnapshot::Item item;
    for (const auto& [type, bytes] : types)
        item.insert(type, bytes);
    return PasteboardSnapshot{{item}};
}

// Capture and paste-back on a desktop of recording fakes, private settings and a clock
// that moves only when the test runs a task to its end.
class CaptureTest : public ::testing::Test {
protected:
    CaptureTest()
    {
        windows.front = editor;
        windows.activeWindow = editor.windowID;
        pasteboard.contents = usersClipboard;
    }

    static void setDefault(const char* key, const QJsonValue& value)
    {
        ASSERT_TRUE(UserDefaults::standard().set(QString::fromLatin1(key), value));
    }

    // The application answers the copy command by putting this text on the clipboard
    // `after` the keystroke.
    void applicationCopies(const QString& text, std::chrono::milliseconds after)
    {
        keys.onPost = [this, text, after](EditCommand command) {
            if (command == EditCommand::copy)
                pasteboard.otherApplicationWrites(
                    fakeClock.clock.monotonicNow() + after,
                    clipboardOf({{QStringLiteral("text/plain"), text.toUtf8()}}));
        };
    }

    // Moves the clock until the task has finished (at most a minute of fake time) and
    // notes the moment in the journal as "done".
    template <class T> T finish(QCoro::Task<T> task)
    {
        bool done = false;
        auto noting = [](QCoro::Task<T> inner, CallJournal& journal,
                         bool& finished) -> QCoro::Task<T> {
            if constexpr (std::is_void_v<T>) {
                co_await std::move(inner);
                journal.record(QStringLiteral("done"));
                finished = true;
            } else {
                T result = co_await std::move(inner);
                journal.record(QStringLiteral("done"));
                finished = true;
                co_return result;
            }
        }(std::move(task), journal, done);
        for (int step = 0; step < 600 && !done; ++step)
            fakeClock.clock.advance(100ms);
        EXPECT_TRUE(done) << "the task never finished";
        return QCoro::waitFor(noting);
    }

    std::optional<CapturedSelection> runCapture() { return finish(capture.capture()); }
    void runPaste(const QString& text, std::optional<TargetApplication> target)
    {
        finish(replacer.paste(text, std::move(target)));
    }

    const TargetApplication editor{0x1200007, 4242, QStringLiteral("Mousepad"),
                                   QStringLiteral("notes.txt - Mousepad")};
    const TargetApplication terminal{0x1400003, 5151, QStringLiteral("XTerm"),
                                     QStringLiteral("bash")};
    const PasteboardSnapshot usersClipboard =
        clipboardOf({{QStringLiteral("text/plain"), QByteArray("user's text")},
                     {QStringLiteral("text/html"), QByteArray("<b>user's</b> text")},
                     {QStringLiteral("application/x-blob"), QByteArray("\x00\xff\x01", 3)}});

    ScopedConfigHome home;
    ScopedFakeClock fakeClock;
    ScopedLogCapture log;
    CallJournal journal{&fakeClock.clock};
    FakeFrontmostWindows windows{journal, fakeClock.clock};
    FakeFocusedTextReader focusedText{journal};
    FakeSecureInput secureInput;
    FakeKeystrokeSender keys{journal, fakeClock.clock};
    FakePasteboard pasteboard{journal, fakeClock.clock};
    SelectionCapture capture{windows, focusedText, secureInput, keys, pasteboard, fakeClock.clock};
    FakeAccessibleTextEditor textEditor{journal};
    Replacer replacer{windows, keys, pasteboard, textEditor, fakeClock.clock};
};
