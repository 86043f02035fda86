// SPDX-License-Identifier: MIT
#include "core/PopoverModel.h"
#include "core/Callback.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(PopoverModel, FreshModel)
{
    PopoverModel model;
    EXPECT_EQ(model.state(), PopoverState::noSelection());
    EXPECT_EQ(model.targetLanguage(), Language::english());
    EXPECT_TRUE(model.editableOriginal().isEmpty());
    EXPECT_TRUE(model.editableResult().isEmpty());
    EXPECT_EQ(model.lastUsage(), std::nullopt);
}

TEST(PopoverModel, EveryFieldChangeNotifiesOnce)
{
    PopoverModel model;
    QSignalSpy state(&model, &PopoverModel::stateChanged);
    QSignalSpy language(&model, &PopoverModel::targetLanguageChanged);
    QSignalSpy original(&model, &PopoverModel::editableOriginalChanged);
    QSignalSpy result(&model, &PopoverModel::editableResultChanged);
    QSignalSpy usage(&model, &PopoverModel::lastUsageChanged);

    model.setState(PopoverState::ready(CaptureMethod::ax));
    model.setState(PopoverState::ready(CaptureMethod::ax));
    model.setState(PopoverState::ready(CaptureMethod::clipboard));
    model.setTargetLanguage(*Language::withID("de"));
    model.setEditableOriginal("text");
    model.setEditableResult("result");
    model.setLastUsage(QStringLiteral("120 in · 45 out"));
    model.setLastUsage(std::nullopt);

    EXPECT_EQ(state.count(), 2);
    EXPECT_EQ(language.count(), 1);
    EXPECT_EQ(original.count(), 1);
    EXPECT_EQ(result.count(), 1);
    EXPECT_EQ(usage.count(), 2);
}

TEST(PopoverModel, UnsetCallbacksDoNothingAndPredicatesAnswerFalse)
{
    PopoverModel model;
    invokeIfSet(model.onAction, TextAction::translate());
    invokeIfSet(model.onReplace);
    std::function<bool()> predicate;
    EXPECT_FALSE(invokeIfSet(predicate));

    QList<TextAction> seen;
    model.onAction = [&](const TextAction& action) { seen.append(action); };
    invokeIfSet(model.onAction, TextAction::rewrite(Style::formal));
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen.first(), TextAction::rewrite(Style::formal));
}

TEST(PopoverState, EqualityByCaseAndPayload)
{
    EXPECT_EQ(PopoverState::error("x", ErrorRecovery::retry),
              PopoverState::error("x", ErrorRecovery::retry));
    EXPECT_NE(PopoverState::error("x", ErrorRecovery::retry),
              PopoverState::error("x", ErrorRecovery::none));
    EXPECT_NE(PopoverState::loading(TextAction::translate()),
              PopoverState::result(TextAction::translate()));
    EXPECT_NE(PopoverState::ready(CaptureMethod::ax),
              PopoverState::ready(CaptureMethod::clipboard));
    EXPECT_EQ(PopoverState::result(TextAction::fixGrammar()).action(), TextAction::fixGrammar());
    EXPECT_EQ(PopoverState::noSelection().action(), std::nullopt);
}
