// SPDX-License-Identifier: MIT
#include "core/Language.h"
#include "core/PopoverModel.h"
#include "core/TextAction.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(Language, AStoredIDMustMatchExactly)
{
    EXPECT_EQ(Language::withID("uk")->name, "Ukrainian");
    EXPECT_EQ(Language::withID("xx"), std::nullopt);
    EXPECT_EQ(Language::withID("EN"), std::nullopt);
}

// The switches of the diagnostic hooks, hostile spellings included; a parsed action's log
// name is its switch again.
TEST(TextAction, FromTestFlagParsesExactly)
{
    const struct {
        const char* flag;
        std::optional<TextAction> expected;
    } rows[] = {
        {"improvePrompt", TextAction::improvePrompt()},
        {"rewrite-Formal", std::nullopt},
        {"custom: a:b", TextAction::custom(" a:b")},
        {"fixgrammar", std::nullopt},
        {"custom", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.flag);
        EXPECT_EQ(TextAction::fromTestFlag(QString::fromUtf8(row.flag)), row.expected);
        if (row.expected && !QByteArray(row.flag).startsWith("custom")) {
            EXPECT_EQ(row.expected->logName(), QString::fromUtf8(row.flag));
        }
    }
    for (Style style : allCases(CasesOf<Style>{}))
        EXPECT_EQ(TextAction::fromTestFlag(TextAction::rewrite(style).logName()),
                  TextAction::rewrite(style));
    EXPECT_EQ(TextAction::custom("shorter").logName(), "custom");
}

// Without the filter of repeated values the panel would measure and report its size twice.
TEST(PopoverModel, EveryFieldChangeNotifiesOnce)
{
    PopoverModel model;
    QSignalSpy state(&model, &PopoverModel::stateChanged);
    QSignalSpy usage(&model, &PopoverModel::lastUsageChanged);

    model.setState(PopoverState::ready(CaptureMethod::ax));
    model.setState(PopoverState::ready(CaptureMethod::ax));
    model.setState(PopoverState::ready(CaptureMethod::clipboard));
    model.setLastUsage(u"120 in · 45 out"_s);
    model.setLastUsage(u"120 in · 45 out"_s);
    model.setLastUsage(std::nullopt);

    EXPECT_EQ(state.count(), 2);
    EXPECT_EQ(usage.count(), 2);
}
