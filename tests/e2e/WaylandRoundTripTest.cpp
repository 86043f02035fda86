// SPDX-License-Identifier: MIT
// The whole round trip in a Wayland session (scripts/test-session --sway or --kwin): a native
// GTK 3 or Qt 6 application holds the selection, `quillmark trigger` opens the panel at the
// pointer, the fake relay answers, Replace puts the result over the selection, and the
// clipboard another client left holds exactly its bytes again. One table of (application,
// capture route, Replace route); each compositor runs every row.
#include "AccessibilityProbe.h"
#include "core/SystemClock.h"
#include "platform/PasteboardSnapshot.h"
#include "platform/wayland/DataControlPasteboard.h"
#include "platform/wayland/WaylandConnection.h"
#include "support/ChildProcess.h"
#include "support/DesktopTools.h"
#include "support/LoopbackServer.h"
#include "support/TestEnvironment.h"
#include "support/TrayProcess.h"

#include <QCoroTask>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

namespace {

const QString sentence = u"this sentance have two mistake"_s;
const QString corrected = u"This sentence has two mistakes."_s;

enum class App { gtk3, qt6 };

struct Row {
    const char* name;
    App app;
    // The capture route forced, and the one the log must name.
    bool forceClipboard;
    // Replace by pasting even where the element could take the text.
    bool forcePaste;
};

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

class WaylandRoundTrip : public ::testing::TestWithParam<Row> {
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
        m_relay.setReply(LoopbackServer::Reply::json(
            200,
            R"({"text":"This sentence has two mistakes.","usage":{"prompt_tokens":12,"completion_tokens":7}})"));
        const Row row = GetParam();
        for (const auto& [key, type, value] :
             {std::tuple{u"proxyBaseURL"_s, u"-string"_s, m_relay.baseURL()},
              {u"hasSeenOnboarding"_s, u"-bool"_s, u"true"_s},
              {u"autoReplace"_s, u"-bool"_s, u"true"_s},
              {u"forceClipboardCapture"_s, u"-bool"_s, row.forceClipboard ? u"true"_s : u"false"_s},
              {u"forcePasteReplace"_s, u"-bool"_s, row.forcePaste ? u"true"_s : u"false"_s}}) {
            const ToolResult result =
                runTool(binary(), {u"defaults"_s, u"write"_s, key, type, value});
            ASSERT_EQ(result.exitCode, 0) << result.error.toStdString();
        }
    }

    void TearDown() override
    {
        const TrayProcess::Ending ending = m_tray.stop();
        EXPECT_TRUE(ending.clean) << ending.description.toStdString() << "\n"
                                  << m_tray.tail().toStdString();
        m_target.stop();
    }

    static QString binary() { return QStringLiteral(QUILLMARK_INSTALL_PREFIX "/bin/quillmark"); }

    AssertionResult broke(const QString& step, const QString& seen)
    {
        return AssertionFailure() << "step failed: " << step.toStdString() << "\n"
                                  << seen.toStdString() << "\n--- end of the quillmark log ---\n"
                                  << m_tray.tail().toStdString();
    }

    AssertionResult logMatches(const QString& step, const QString& pattern, qsizetype from,
                               QString* line = nullptr)
    {
        const std::optional<qsizetype> found =
            m_tray.waitForMatch(QRegularExpression(pattern), from);
        if (!found)
            return broke(step, u"no log line matching "_s + pattern);
        if (line)
            *line = m_tray.lines().at(*found);
        return AssertionSuccess();
    }

    AssertionResult startTarget(App app)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"wayland"_s);
        environment.insert(u"GDK_BACKEND"_s, u"wayland"_s);
        const bool started =
            app == App::gtk3
                ? m_target.start(u"/usr/bin/python3"_s,
                                 {QStringLiteral(GTK3_TEXT_VIEW_PATH), sentence}, environment)
                : m_target.start(QStringLiteral(TEXT_FIELD_WINDOW_PATH),
                                 {u"--multi-line"_s, sentence}, environment);
        if (!started)
            return broke(u"the target application did not start"_s, QString());
        const AccessibilityProbe probe(m_target.pid());
        if (!waitUntil([&] { return probe.focusedSelection() == sentence; }, 10s))
            return broke(u"the target did not offer its selection on the accessibility bus"_s,
                         probe.shownTexts().join(u" | "));
        return AssertionSuccess();
    }

    LoopbackServer m_relay;
    ScopedConfigHome m_home;
    std::unique_ptr<WaylandConnection> m_wayland;
    SystemClock m_clock;
    std::unique_ptr<DataControlPasteboard> m_clipboard;
    TrayProcess m_tray;
    ChildProcess m_target;
};

TEST_P(WaylandRoundTrip, ReplaceTheSelectionAndKeepTheClipboard)
{
    const Row row = GetParam();
    ASSERT_TRUE(startTarget(row.app));
    m_clipboard->write(earlierClipboard());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QUILLMARK_LOG"_s, u"stderr"_s);
    ASSERT_TRUE(m_tray.start(binary(), environment));
    ASSERT_TRUE(logMatches(u"quillmark did not say how it works on this desktop"_s,
                           uR"(info app: session wayland .*)"_s, 0));
    ASSERT_TRUE(waylandSeat({u"motion %1 %2"_s.arg(pointer.x()).arg(pointer.y())}));

    const qsizetype from = m_tray.mark();
    ASSERT_EQ(runTool(binary(), {u"trigger"_s}).exitCode, 0);
    const QString route = row.forceClipboard ? u"clipboard"_s : u"ax"_s;
    ASSERT_TRUE(logMatches(u"the selection was not captured via "_s + route,
                           uR"(info capture: captured via %1 \(30 chars\))"_s.arg(route), from));
    QString shown;
    ASSERT_TRUE(logMatches(u"the panel was not shown"_s,
                           uR"(info app: panel shown frame \((-?\d+), (-?\d+)\) .*)"_s, from,
                           &shown));
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
    ASSERT_TRUE(logMatches(u"pressing Fix Grammar did not run the action"_s,
                           uR"(info ai: fixGrammar ok in \d+ms \(in 12 out 7 tok\))"_s, from));

    const QString replaced = row.forcePaste ? uR"(info replace: posted ⌘V into .*)"_s
                                            : uR"(info replace: replaced via EditableText in .*)"_s;
    ASSERT_TRUE(logMatches(u"Replace did not take its route"_s, replaced, from));
    const AccessibilityProbe probe(m_target.pid());
    EXPECT_TRUE(waitUntil([&] { return probe.shownTexts().contains(corrected); }, 10s))
        << "the target shows " << probe.shownTexts().join(u" | ").toStdString();
    if (row.forcePaste) {
        ASSERT_TRUE(logMatches(u"the clipboard was not restored"_s,
                               uR"(info replace: clipboard restored)"_s, from));
    }

    PasteboardSnapshot now;
    EXPECT_TRUE(waitUntil(
        [&] { return (now = QCoro::waitFor(m_clipboard->snapshot())) == earlierClipboard(); }, 5s))
        << "the clipboard holds " << now.items.size() << " items, not the earlier one";
}

INSTANTIATE_TEST_SUITE_P(Wayland, WaylandRoundTrip,
                         ::testing::Values(Row{"Gtk3Accessible", App::gtk3, false, false},
                                           Row{"Gtk3CopyAndPaste", App::gtk3, true, true},
                                           Row{"Qt6Accessible", App::qt6, false, false},
                                           Row{"Qt6CopyAndPaste", App::qt6, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
