// SPDX-License-Identifier: MIT
// The clipboard through the compositor's data control, against wl-clipboard and a second
// connection of this process standing for another application.
#include "platform/wayland/DataControlPasteboard.h"
#include "core/SystemClock.h"
#include "platform/wayland/WaylandConnection.h"
#include "support/ChildProcess.h"
#include "support/DesktopTools.h"
#include "support/TestEnvironment.h"

#include <csignal>
#include <gtest/gtest.h>

namespace {

// Bytes any conversion would change, a binary type, and a type larger than a pipe holds.
PasteboardSnapshot usersClipboard()
{
    PasteboardSnapshot::Item item;
    item.insert("text/plain;charset=utf-8", "user's plain text\n");
    item.insert("text/html", QByteArray("\xff\xfe<\x00p\x00>\x00", 8));
    item.insert("application/x-quillmark-test", QByteArray("\x00\x01\xfe\xff\r\n\x80", 7));
    item.insert("image/png", QByteArray(3 * 1024 * 1024 + 7, '\x89'));
    return {{item}};
}

// What another application pasting would get.
QByteArray pasted(const QString& type)
{
    const ToolResult result = runTool("wl-paste", {"--no-newline", "--type", type});
    return result.exitCode == 0 ? result.output : "(failed) " + result.error;
}

class DataControlPasteboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        connection = WaylandConnection::open();
        other = WaylandConnection::open();
        if (!connection || !other || !DataControlPasteboard::isOffered(*connection))
            GTEST_SKIP() << "needs data control (run under scripts/test-session --kwin or --sway)";
        pasteboard = std::make_unique<DataControlPasteboard>(*connection, clock, roomy);
        otherApplication = std::make_unique<DataControlPasteboard>(*other, clock, roomy);
        // A write the compositor handles before it has told this process the clipboard it
        // found would be that clipboard, not a change: the first look waits for it.
        (void)QCoro::waitFor(pasteboard->snapshot());
    }

    // Waits until this process has heard of a change made elsewhere.
    [[nodiscard]] bool heardChange(int64_t seen)
    {
        return waitUntil([&] { return pasteboard->changeCount() != seen; });
    }

    // The bytes come back exactly; how long an owner may take is proved with the product's
    // own deadlines by the one test that needs them.
    static constexpr DataControlPasteboard::Deadlines roomy{
        std::chrono::seconds(5), std::chrono::seconds(10), std::chrono::seconds(10)};
    ScopedLogCapture log;
    SystemClock clock;
    std::unique_ptr<WaylandConnection> connection;
    std::unique_ptr<WaylandConnection> other;
    std::unique_ptr<DataControlPasteboard> pasteboard;
    std::unique_ptr<DataControlPasteboard> otherApplication;
};

TEST_F(DataControlPasteboardTest, TheUsersClipboardSurvivesATransientResultByteForByte)
{
    const int64_t before = pasteboard->changeCount();
    otherApplication->write(usersClipboard());
    ASSERT_TRUE(heardChange(before));
    const PasteboardSnapshot saved = QCoro::waitFor(pasteboard->snapshot());
    EXPECT_TRUE(saved == usersClipboard());

    PasteboardSnapshot::Item result;
    result.insert(PasteboardType::plainText, "résumé");
    result.insert(PasteboardType::transient, "");
    pasteboard->write({{result}});
    // Terminals and GTK ask for the text under other names.
    for (const QString type : {"text/plain", "text/plain;charset=utf-8", "UTF8_STRING"})
        EXPECT_EQ(pasted(type), "résumé") << type.toStdString();
    EXPECT_EQ(pasted("STRING"), "r\xe9sum\xe9");
    EXPECT_TRUE(QCoro::waitFor(pasteboard->snapshot()) == saved);

    pasteboard->write(saved);
    for (const auto& [type, bytes] : saved.items.first().asKeyValueRange())
        EXPECT_EQ(pasted(type), bytes) << type.toStdString();
    EXPECT_TRUE(QCoro::waitFor(otherApplication->snapshot()) == saved);

    // wl-paste waits for ever on an empty clipboard under KWin: the other application looks.
    const int64_t seen = otherApplication->changeCount();
    pasteboard->write({});
    ASSERT_TRUE(waitUntil([&] { return otherApplication->changeCount() != seen; }));
    EXPECT_TRUE(QCoro::waitFor(otherApplication->snapshot()).isEmpty());
    EXPECT_EQ(log.lines(), QStringList{});
}

TEST_F(DataControlPasteboardTest, ATypeWhoseOwnerNeverAnswersIsLeftOutAtItsDeadline)
{
    FakeClock time;
    DataControlPasteboard tight(*connection, time);
    const int64_t before = tight.changeCount();
    // wl-copy offers the type, then is stopped before anyone asks for it.
    ChildProcess owner;
    ASSERT_TRUE(owner.start("wl-copy", {"--foreground", "--type", "application/x-stalled"}));
    owner.process()->write("never delivered");
    owner.process()->closeWriteChannel();
    ASSERT_TRUE(waitUntil([&] { return tight.changeCount() != before; }));
    ASSERT_EQ(::kill(pid_t(owner.pid()), SIGSTOP), 0);

    QCoro::Task<PasteboardSnapshot> saving = tight.snapshot();
    ASSERT_TRUE(waitUntil([&] { return time.pendingSleeps() == 1; }));
    time.advance(DataControlPasteboard::Deadlines{}.typeDeadline);

    EXPECT_TRUE(QCoro::waitFor(std::move(saving)).isEmpty());
    EXPECT_EQ(log.lines(), QStringList{"error capture: clipboard owner did not deliver "
                                       "application/x-stalled in time — left out of the saved "
                                       "clipboard"});
}

} // namespace
