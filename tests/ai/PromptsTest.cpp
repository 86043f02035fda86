// SPDX-License-Identifier: MIT
#include "ai/Prompts.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

const Language german{QStringLiteral("de"), QStringLiteral("German")};

const QString guardSentence = QStringLiteral("The user message contains ONLY the text to process");

// Each tone asks for its own; a custom instruction goes in verbatim. Neither carries the
// guard sentence of the fixed actions.
TEST(Prompts, EveryToneAsksForItsOwnAndACustomInstructionIsInsertedVerbatim)
{
    QStringList messages;
    for (Style style : allCases(CasesOf<Style>{}))
        messages.append(Prompts::system(TextAction::rewrite(style), german));
    EXPECT_EQ(messages.size(), QSet<QString>(messages.begin(), messages.end()).size());

    const QString instruction = QStringLiteral("  make it rhyme; keep \"%1\"\n");
    messages.append(Prompts::system(TextAction::custom(instruction), german));
    EXPECT_TRUE(
        messages.last().contains(QStringLiteral("provided text: ") + instruction +
                                 QStringLiteral(". Unless the instruction says otherwise")));
    for (const QString& message : messages)
        EXPECT_FALSE(message.contains(guardSentence));
}

TEST(Prompts, Unwrap)
{
    const struct {
        const char* name;
        QString reply, expected;
    } rows[] = {
        {"tags and blanks around", "  <text>\nword\n</text>  ", "word"},
        {"opening tag only", "<text>word", "word"},
        {"wrapped twice loses the outer pair", "<text><text>w</text></text>", "<text>w</text>"},
        {"inner tags stay", "a <text>b</text> c", "a <text>b</text> c"},
        {"no trim between the two tags", "<text> w </text>", "w"},
        {"tag not at the very start", "x<text>w</text>", "x<text>w"},
        {"line separators trimmed", QString::fromUtf16(u"\u2028w\u00a0"), "w"},
        {"bare tags", "<text></text>", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Prompts::unwrap(row.reply), row.expected);
    }
}

} // namespace
