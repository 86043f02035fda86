// SPDX-License-Identifier: MIT
#include "settings/PopoverEnums.h"

#include <gtest/gtest.h>

namespace {

template <class E> QStringList rawValues()
{
    QStringList result;
    for (E value : allCases(CasesOf<E>{}))
        result.append(rawValue(value));
    return result;
}

// These names are what the settings file holds; renaming one would lose the user's choice.
TEST(PopoverEnumsTest, StoredNamesInOfferOrder)
{
    EXPECT_EQ(rawValues<PopoverAction>(),
              (QStringList{"translate", "fixGrammar", "improvePrompt"}));
    EXPECT_EQ(rawValues<PopoverLayout>(), (QStringList{"chips", "list"}));
    EXPECT_EQ(rawValues<InputHeight>(), (QStringList{"compact", "standard", "large"}));
    EXPECT_EQ(rawValues<InputTextSize>(), (QStringList{"small", "standard", "large"}));
    EXPECT_EQ(rawValues<PanelWidth>(), (QStringList{"narrow", "standard", "wide"}));
}

TEST(PopoverEnumsTest, EachRowRunsItsOwnAction)
{
    EXPECT_EQ(textAction(PopoverAction::translate), TextAction::translate());
    EXPECT_EQ(textAction(PopoverAction::fixGrammar), TextAction::fixGrammar());
    EXPECT_EQ(textAction(PopoverAction::improvePrompt), TextAction::improvePrompt());
}

} // namespace
