// SPDX-License-Identifier: MIT
#include "ViewProbe.h"
#include "ViewTestFixture.h"
#include "ui/PopoverEditor.h"

using namespace ViewProbe;

namespace {

QString usage()
{
    return QStringLiteral("120 in · 45 out");
}

struct StateRow {
    const char* name;
    PopoverState state;
    bool withUsage;
    PopoverLayout layout;
    bool editorShown;
    QStringList texts;
};

class EveryState : public ::testing::TestWithParam<StateRow>, protected ViewTestFixture {};

TEST_P(EveryState, RendersItsTextsAtTheChosenWidth)
{
    const StateRow& row = GetParam();
    setPreferences(row.layout);
    model.setEditableOriginal(QStringLiteral("Ich habe gestern ein Buch gelest."));
    model.setState(row.state);
    if (row.withUsage)
        model.setLastUsage(usage());
    PopoverView& view = makeView();

    EXPECT_EQ(texts(view.content()), row.texts);
    EXPECT_EQ(view.editor().isHidden(), !row.editorShown);
    ASSERT_FALSE(reports.isEmpty());
    EXPECT_EQ(reports.last().width(), 490);
    EXPECT_EQ(reports.last(), QSizeF(view.measuredSize()));
}

const auto retry = ErrorRecovery::retry;
const QString failure = QStringLiteral("The service is busy. Try again in a moment.");
const QString connect = QStringLiteral(
    "Nothing was sent. Choose where your text goes: OpenAI with your key, a server on this "
    "computer such as Ollama or llama.cpp, or a relay service.");
const QString threeKeys = QStringLiteral("Alt+1 to Alt+3 press these buttons · Esc goes back");

// clang-format off
INSTANTIATE_TEST_SUITE_P(PopoverView, EveryState, ::testing::Values(
    StateRow{"readyList", PopoverState::ready(CaptureMethod::ax), false, PopoverLayout::list, true,
             {"Translate to English", "Fix Grammar", "Improve AI Prompt", "EN"}},
    StateRow{"resultChips", PopoverState::result(TextAction::fixGrammar()), true, PopoverLayout::chips, true,
             {"Replace", "Copy", "Back", "120 in · 45 out", threeKeys}},
    StateRow{"resultList", PopoverState::result(TextAction::fixGrammar()), true, PopoverLayout::list, true,
             {"Replace", "Copy", "Back", "120 in · 45 out"}},
    StateRow{"resultWithoutUsage", PopoverState::result(TextAction::fixGrammar()), false, PopoverLayout::chips, true,
             {"Replace", "Copy", "Back", threeKeys}},
    StateRow{"errorList", PopoverState::error(failure, ErrorRecovery::none), false, PopoverLayout::list, false,
             {failure, "Copy", "Back", "Alt+1 and Alt+2 press these buttons · Esc goes back"}},
    StateRow{"needsServiceChips", PopoverState::needsService(), false, PopoverLayout::chips, false,
             {"Connect an AI service to use Quillmark", connect, "Open Settings…",
              "Alt+1 presses this button · Esc goes back"}},
    StateRow{"noSelectionChips", PopoverState::noSelection(), false, PopoverLayout::chips, false,
             {"Select some text first, then press the hotkey."}}
), [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
