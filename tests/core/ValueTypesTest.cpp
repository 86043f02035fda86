// SPDX-License-Identifier: MIT
#include "core/Callback.h"
#include "core/DoubleTapModifier.h"
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

// The settings file holds these names: renaming one would lose the user's choice.
TEST(DoubleTapModifier, StoredNamesParseExactly)
{
    QStringList names;
    for (DoubleTapModifier modifier : allCases(CasesOf<DoubleTapModifier>{})) {
        names.append(rawValue(modifier));
        EXPECT_EQ(fromRawValue<DoubleTapModifier>(names.last()), modifier);
    }
    EXPECT_EQ(names, QStringList({"off", "option", "command", "control", "shift"}));
    for (const char* raw : {"Option", "OFF", "", "alt", "super", " shift", "fn"})
        EXPECT_EQ(fromRawValue<DoubleTapModifier>(QString::fromUtf8(raw)), std::nullopt) << raw;
}

// The switches of the diagnostic hooks, hostile spellings included.
TEST(TextAction, FromTestFlagParsesExactly)
{
    const struct {
        const char* flag;
        std::optional<TextAction> expected;
    } rows[] = {
        {"translate", TextAction::translate()},
        {"fixGrammar", TextAction::fixGrammar()},
        {"improvePrompt", TextAction::improvePrompt()},
        {"rewrite-business", TextAction::rewrite(Style::business)},
        {"rewrite-concise", TextAction::rewrite(Style::concise)},
        {"rewrite-", std::nullopt},
        {"rewrite-Formal", std::nullopt},
        {"rewrite-poetic", std::nullopt},
        {"custom:", TextAction::custom(QString())},
        {"custom: keep the space", TextAction::custom(" keep the space")},
        {"custom:a:b", TextAction::custom("a:b")},
        {"Translate", std::nullopt},
        {"fixgrammar", std::nullopt},
        {"", std::nullopt},
        {"custom", std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(TextAction::fromTestFlag(QString::fromUtf8(row.flag)), row.expected) << row.flag;
    EXPECT_EQ(fromRawValue<Style>(u"friendly"), Style::friendly);
    EXPECT_EQ(fromRawValue<Style>(u"Friendly"), std::nullopt);
    EXPECT_EQ(fromRawValue<Style>(u""), std::nullopt);
}

TEST(TextAction, LogNameOfEveryParsedActionButCustomParsesBack)
{
    QList<TextAction> actions = {TextAction::translate(), TextAction::fixGrammar(),
                                 TextAction::improvePrompt()};
    for (Style style : allCases(CasesOf<Style>{}))
        actions.append(TextAction::rewrite(style));
    for (const TextAction& action : actions)
        EXPECT_EQ(TextAction::fromTestFlag(action.logName()), action)
            << action.logName().toStdString();
    EXPECT_EQ(TextAction::rewrite(Style::business).logName(), "rewrite-business");
    EXPECT_EQ(TextAction::custom("shorter").logName(), "custom");
}

// Without the filter of repeated values the panel would measure and report its size twice.
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
    model.setLastUsage(u"120 in · 45 out"_s);
    model.setLastUsage(std::nullopt);

    EXPECT_EQ(state.count(), 2);
    EXPECT_EQ(language.count(), 1);
    EXPECT_EQ(original.count(), 1);
    EXPECT_EQ(result.count(), 1);
    EXPECT_EQ(usage.count(), 2);

    invokeIfSet(model.onAction, TextAction::translate()); // unset: nothing happens
    std::function<bool()> predicate;
    EXPECT_FALSE(invokeIfSet(predicate));
}

// Late results and size reports compare states by case and payload.
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
    EXPECT_NE(PopoverState::result(TextAction::custom("a")),
              PopoverState::result(TextAction::custom("b")));
    EXPECT_EQ(PopoverState::result(TextAction::fixGrammar()).action(), TextAction::fixGrammar());
    EXPECT_EQ(PopoverState::noSelection().action(), std::nullopt);
}
