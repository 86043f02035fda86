// SPDX-License-Identifier: MIT
// The whole round trip in a Wayland session (scripts/test-session --sway or --kwin): a native
// GTK 3 or Qt 6 application holds the selection, `quillmark trigger` opens the panel at the
// pointer, the fake relay answers, Replace puts the result over the selection, and the
// clipboard another client left holds exactly its bytes again. One table of (application,
// capture route, Replace route); each compositor runs every row.
#include "E2eTest.h"
#include "core/SystemClock.h"
#include "platform/PasteboardSnapshot.h"
#include "platform/wayland/DataControlPasteboard.h"
#include "platform/wayland/WaylandConnection.h"
#include "support/ChildProcess.h"

#include <QCoroTask>

using namespace Qt::StringLiterals;

namespace {

struct Row {
    const char* name;
    bool gtk3; // else Qt 6
    // Capture by the copy command and Replace by pasting, even where the element could
    // give and take the text itself.
    bool copyAndPaste;
};

// Rows are named in the output by their name alone.
void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.name;
}

// What another client left on the clipboard: two types, one of them private.
PasteboardSnapshot earlierClipboard()
{
    PasteboardSnapshot::Item item;
    item.insert(u"text/plain;charset=utf-8"_s, QByteArray("copied before the shortcut"));
    item.insert(u"application/x-quillmark-e2e"_s, QByteArray("second\0type", 11));
    return {{item}};
}

// Where the pointer is put before the shortcut; the panel opens beside it.
const QPoint pointer(420, 260);

class WaylandRoundTrip : public TraySession, public ::testing::WithParamInterface<Row> {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
            qEnvironmentVariableIsEmpty("QUILLMARK_TEST_SEAT"))
            GTEST_SKIP() << "needs a Wayland test session: scripts/test-session --sway";
        m_wayland = WaylandConnection::open();
        ASSERT_TRUE(m_wayland) << "no connection to the compositor";
        ASSERT_TRUE(DataControlPasteboard::isOffered(*m_wayland));
        m_clipboard = std::make_unique<DataControlPasteboard>(*m_wayland, m_clock);
        const QString forced = GetParam().copyAndPaste ? u"true"_s : u"false"_s;
        ASSERT_TRUE(writeDefaults({{u"proxyBaseURL"_s, u"-string"_s, m_relay.baseURL()},
                                   {u"hasSeenOnboarding"_s, u"-bool"_s, u"true"_s},
                                   {u"autoReplace"_s, u"-bool"_s, u"true"_s},
                                   {u"forceClipboardCapture"_s, u"-bool"_s, forced},
                                   {u"forcePasteReplace"_s, u"-bool"_s, forced}}));
    }

    void TearDown() override
    {
        TraySession::TearDown();
        m_target.stop();
    }

    AssertionResult startTarget(bool gtk3)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"wayland"_s);
        environment.insert(u"GDK_BACKEND"_s, u"wayland"_s);
        const bool started = gtk3 ? m_target.start(u"/usr/bin/python3"_s,
                                                   {GTK3_TEXT_VIEW_PATH, sentence}, environment)
                                  : m_target.start(TEXT_FIELD_WINDOW_PATH,
                                                   {u"--multi-line"_s, sentence}, environment);
        if (!started)
            return broke(u"the target application did not start"_s, QString());
        const AccessibilityProbe probe(m_target.pid());
        if (!waitUntil([&] { return probe.focusedSelection() == sentence; }, 10s))
            return broke(u"the target did not offer its selection on the accessibility bus"_s,
                         probe.shownTexts().join(u" | "));
        return ::testing::AssertionSuccess();
    }

    SystemClock m_clock;
    std::unique_ptr<WaylandConnection> m_wayland;
    std::unique_ptr<DataControlPasteboard> m_clipboard;
    ChildProcess m_target;
};

TEST_P(WaylandRoundTrip, ReplaceTheSelectionAndKeepTheClipboard)
{
    const Row row = GetParam();
    ASSERT_TRUE(startTarget(row.gtk3));
    m_clipboard->write(earlierClipboard());
    ASSERT_TRUE(launchTray());
    ASSERT_TRUE(logMatches(uR"(info app: session wayland .*)"_s));
    ASSERT_TRUE(waylandSeat({u"motion %1 %2"_s.arg(pointer.x()).arg(pointer.y())}));

    const qsizetype from = m_tray.mark();
    ASSERT_EQ(runTool(binary(), {u"trigger"_s}).exitCode, 0);
    const QString route = row.copyAndPaste ? u"clipboard"_s : u"ax"_s;
    ASSERT_TRUE(logMatches(uR"(info capture: captured via %1 \(30 chars\))"_s.arg(route), from));
    QString shown;
    ASSERT_TRUE(
        logMatches(uR"(info app: panel shown frame \((-?\d+), (-?\d+)\) .*)"_s, from, &shown));
    const QRegularExpressionMatch frame =
        QRegularExpression(uR"(\((-?\d+), (-?\d+)\))"_s).match(shown);
    const QPoint corner(frame.captured(1).toInt(), frame.captured(2).toInt());
    EXPECT_LT((corner - pointer).manhattanLength(), 80)
        << "the panel opened at " << shown.toStdString() << ", far from the pointer";

    // The action, pressed as a screen reader presses it. (A pointer click lands where XWayland
    // thinks the panel is, which headless sway reports some pixels off.)
    const AccessibilityProbe panel(m_tray.pid());
    ASSERT_TRUE(waitUntil([&] { return panel.press(u"Fix Grammar"_s); }, 10s))
        << "no Fix Grammar on the panel: " << panel.shownTexts().join(u" | ").toStdString();
    ASSERT_TRUE(logMatches(uR"(info ai: fixGrammar ok in \d+ms \(in 12 out 7 tok\))"_s, from));
    ASSERT_TRUE(logMatches(row.copyAndPaste ? uR"(info replace: posted ⌘V into .*)"_s
                                            : uR"(info replace: replaced via EditableText in .*)"_s,
                           from));
    const AccessibilityProbe probe(m_target.pid());
    EXPECT_TRUE(waitUntil([&] { return probe.shownTexts().contains(corrected); }, 10s))
        << "the target shows " << probe.shownTexts().join(u" | ").toStdString();
    if (row.copyAndPaste) {
        ASSERT_TRUE(logShows(u"info replace: clipboard restored"_s, from));
    }
    PasteboardSnapshot now;
    EXPECT_TRUE(waitUntil(
        [&] { return (now = QCoro::waitFor(m_clipboard->snapshot())) == earlierClipboard(); }, 5s))
        << "the clipboard holds " << now.items.size() << " items, not the earlier one";
}

INSTANTIATE_TEST_SUITE_P(Wayland, WaylandRoundTrip,
                         ::testing::Values(Row{"Gtk3Accessible", true, false},
                                           Row{"Gtk3CopyAndPaste", true, true},
                                           Row{"Qt6Accessible", false, false},
                                           Row{"Qt6CopyAndPaste", false, true}),
                         rowName);

} // namespace
