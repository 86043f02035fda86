// SPDX-License-Identifier: MIT
#include "core/RunRules.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

TEST(RunRules, PreservingEdgeWhitespace)
{
    const struct {
        const char* name;
        QString original, result, expected;
    } rows[] = {
        {"selected edges survive", "  teh cat\n", "the cat", "  the cat\n"},
        {"model's own edges dropped", "teh cat", "\n\nthe cat\n", "the cat"},
        {"blank original", "   ", "a", "   a"},
        {"blank result keeps both edges", " x\t", "  \n", " \t"},
        {"empty original", "", " y ", "y"},
        {"non-breaking and ideographic spaces count", u"\u00a0x\u3000"_qs, "y",
         u"\u00a0y\u3000"_qs},
        {"inner white space untouched", " a  b ", "c  d", " c  d "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(RunRules::preservingEdgeWhitespace(row.original, row.result), row.expected);
    }
}

TEST(RunRules, CountsUserPerceivedCharacters)
{
    const std::pair<QString, int> rows[] = {
        {"", 0},
        {"abc", 3},
        {u"👨‍👩‍👧x"_qs,
         2}, // a family emoji is one character of seven UTF-16 code units and more
        {u"e\u0301"_qs, 1},
        {"\r\n", 1},
        // Up to 32 code points (here 20 combining marks outside the BMP) still make one; a
        // longer cluster counts each of them.
        {u'e' + QString(u"\U0001D167"_qs).repeated(20), 1},
        {u'e' + QString(31, u'\u0301'), 1},
        {u'e' + QString(32, u'\u0301'), 33},
    };
    for (const auto& [text, count] : rows)
        EXPECT_EQ(RunRules::characterCount(text), count) << text.size();
}

// What the service said is logged as it came, "%2" included.
TEST(RunRules, TheFailureLineKeepsTheDetailAsItCame)
{
    ScopedLogCapture log;
    RunRules::logFailure(TextAction::custom("%1"), "network: %2 down");
    EXPECT_EQ(log.lines(), QStringList({"error ai: custom failed: network: %2 down"}));
}

} // namespace
