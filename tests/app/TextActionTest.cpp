// SPDX-License-Identifier: MIT
#include "core/TextAction.h"

#include <QList>
#include <gtest/gtest.h>

namespace {

struct FlagRow {
    const char* flag;
    std::optional<TextAction> expected;
};

class FromTestFlag : public ::testing::TestWithParam<FlagRow> {};

TEST_P(FromTestFlag, ParsesExactly)
{
    const FlagRow& row = GetParam();
    EXPECT_EQ(TextAction::fromTestFlag(QString::fromUtf8(row.flag)), row.expected) << row.flag;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FromTestFlag,
    ::testing::Values(FlagRow{"translate", TextAction::translate()},
                      FlagRow{"fixGrammar", TextAction::fixGrammar()},
                      FlagRow{"improvePrompt", TextAction::improvePrompt()},
                      FlagRow{"rewrite-business", TextAction::rewrite(Style::business)},
                      FlagRow{"rewrite-concise", TextAction::rewrite(Style::concise)},
                      FlagRow{"rewrite-", std::nullopt}, FlagRow{"rewrite-Formal", std::nullopt},
                      FlagRow{"rewrite-poetic", std::nullopt},
                      FlagRow{"custom:", TextAction::custom(QString())},
                      FlagRow{"custom: keep the space", TextAction::custom(" keep the space")},
                      FlagRow{"custom:a:b", TextAction::custom("a:b")},
                      FlagRow{"Translate", std::nullopt}, FlagRow{"fixgrammar", std::nullopt},
                      FlagRow{"", std::nullopt}, FlagRow{"custom", std::nullopt}));

TEST(TextAction, LogNameOfEveryParsedActionButCustomParsesBack)
{
    QList<TextAction> actions = {TextAction::translate(), TextAction::fixGrammar(),
                                 TextAction::improvePrompt()};
    for (Style style : allCases(CasesOf<Style>{}))
        actions.append(TextAction::rewrite(style));
    for (const TextAction& action : actions) {
        SCOPED_TRACE(action.logName().toStdString());
        EXPECT_EQ(TextAction::fromTestFlag(action.logName()), action);
    }
    EXPECT_EQ(TextAction::rewrite(Style::business).logName(), "rewrite-business");
    EXPECT_EQ(TextAction::custom("shorter").logName(), "custom");
}

TEST(TextAction, EqualityTakesThePayload)
{
    EXPECT_NE(TextAction::rewrite(Style::formal), TextAction::rewrite(Style::casual));
    EXPECT_NE(TextAction::custom("a"), TextAction::custom("b"));
    EXPECT_NE(TextAction::fixGrammar(), TextAction::rewrite(Style::business));
    EXPECT_EQ(TextAction::custom("a"), TextAction::custom("a"));
}

TEST(Style, RawValuesTitlesAndUnknownText)
{
    EXPECT_EQ(displayTitle(Style::business), "Business");
    EXPECT_EQ(displayTitle(Style::concise), "Concise");
    EXPECT_EQ(fromRawValue<Style>(u"friendly"), Style::friendly);
    EXPECT_EQ(fromRawValue<Style>(u"Friendly"), std::nullopt);
    EXPECT_EQ(fromRawValue<Style>(u""), std::nullopt);
}

} // namespace
