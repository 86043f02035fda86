// SPDX-License-Identifier: MIT
// The diagnostic hooks autoAction and autoReplace: after the shortcut alone, the action runs
// and its result replaces the selection, with no other key pressed.
#include "E2eTest.h"

using namespace Qt::StringLiterals;

namespace {

struct HookRow {
    const char* name;
    const char* flag;
    const char* logName;
    const char* wireAction;
    // The tone on the wire; empty when the action has none.
    const char* wireStyle;
};

// Rows are named in the output by their name alone.
void PrintTo(const HookRow& row, std::ostream* out)
{
    *out << row.name;
}

class DiagnosticHooksTest : public E2eTest, public ::testing::WithParamInterface<HookRow> {};

} // namespace

TEST_P(DiagnosticHooksTest, ReplaceTheSelectionAfterTheShortcutAlone)
{
    const HookRow row = GetParam();
    const QString logName = QString::fromLatin1(row.logName);
    ASSERT_TRUE(writeDefault(u"autoAction"_s, u"-string"_s, QString::fromLatin1(row.flag)));
    ASSERT_TRUE(writeDefault(u"autoReplace"_s, u"-bool"_s, u"true"_s));
    ASSERT_TRUE(startTray());
    ASSERT_TRUE(openEditorWithSelection(sentence));

    const qsizetype beforeShortcut = m_tray.mark();
    ASSERT_TRUE(press(u"alt+super+t"_s));
    ASSERT_TRUE(logMatches(uR"(info capture: captured via \w+ \(30 chars\))"_s, beforeShortcut));
    ASSERT_TRUE(logShows(u"info app: autoAction: %1"_s.arg(logName), beforeShortcut));
    ASSERT_TRUE(logMatches(uR"(info ai: %1 ok in \d+ms \(in 12 out 7 tok\))"_s.arg(logName),
                           beforeShortcut));
    ASSERT_TRUE(logShows(u"info app: autoReplace"_s, beforeShortcut));
    ASSERT_TRUE(replaceCompleted(corrected, beforeShortcut));

    ASSERT_EQ(m_relay.requests().size(), 1) << "step failed: one request to the hosted service";
    const QJsonObject body = m_relay.requests().first().json();
    EXPECT_EQ(body.value("action").toString(), QString::fromLatin1(row.wireAction));
    EXPECT_EQ(body.value("style").toString(), QString::fromLatin1(row.wireStyle));
}

INSTANTIATE_TEST_SUITE_P(E2e, DiagnosticHooksTest,
                         ::testing::Values(HookRow{"FixGrammar", "fixGrammar", "fixGrammar",
                                                   "fixGrammar", ""},
                                           HookRow{"RewriteFormal", "rewrite-formal",
                                                   "rewrite-formal", "rewrite", "formal"}),
                         [](const auto& info) { return std::string(info.param.name); });
