// SPDX-License-Identifier: MIT
#include "core/RunRules.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

struct EdgeRow {
    const char* name;
    QString original;
    QString result;
    QString expected;
};

TEST(RunRules, PreservingEdgeWhitespace)
{
    const EdgeRow rows[] = {
        {"selected edges survive", "  teh cat\n", "the cat", "  the cat\n"},
        {"model's own edges dropped", "teh cat", "\n\nthe cat\n", "the cat"},
        {"blank original", "   ", "a", "   a"},
        {"blank result keeps both edges", " x\t", "  \n", " \t"},
        {"empty original", "", " y ", "y"},
        {"non-breaking and ideographic spaces count", u"\u00a0x\u3000"_qs, "y",
         u"\u00a0y\u3000"_qs},
        {"inner white space untouched", " a  b ", "c  d", " c  d "},
    };
    for (const EdgeRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(RunRules::preservingEdgeWhitespace(row.original, row.result), row.expected);
    }
}

TEST(RunRules, CountsUserPerceivedCharacters)
{
    EXPECT_EQ(RunRules::characterCount(""), 0);
    EXPECT_EQ(RunRules::characterCount("abc"), 3);
    // A family emoji is one character made of seven UTF-16 code units… and more.
    EXPECT_EQ(RunRules::characterCount(u"👨‍👩‍👧x"_qs), 2);
    EXPECT_EQ(RunRules::characterCount(u"e\u0301"_qs), 1);
    EXPECT_EQ(RunRules::characterCount("\r\n"), 1);
    // Up to 32 code points (here 20 combining marks outside the BMP) still make one; a
    // longer cluster counts each of them.
    EXPECT_EQ(RunRules::characterCount(u'e' + QString(u"\U0001D167"_qs).repeated(20)), 1);
    EXPECT_EQ(RunRules::characterCount(u'e' + QString(31, u'\u0301')), 1);
    EXPECT_EQ(RunRules::characterCount(u'e' + QString(32, u'\u0301')), 33);
}

TEST(RunRules, MessagesAndLogLines)
{
    EXPECT_EQ(RunRules::tooLargeMessage(12345), "Selection too large (12345 / 12,000 characters).");
    EXPECT_EQ(RunRules::usageLabel(120, 45), "120 in · 45 out");

    ScopedLogCapture log;
    RunRules::logStart(TextAction::rewrite(Style::formal), 5);
    RunRules::logSuccess(TextAction::translate(), 812, {"x", 120, 45});
    RunRules::logFailure(TextAction::custom("%1"), "network: %2 down");
    EXPECT_EQ(log.lines(), QStringList({"info ai: rewrite-formal start (5 chars in)",
                                        "info ai: translate ok in 812ms (in 120 out 45 tok)",
                                        "error ai: custom failed: network: %2 down"}));
}

} // namespace
