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
const QString permission = QStringLiteral(
    "Quillmark reads your selected text and pastes the result back — on X11 both need the XTEST "
    "and XInputExtension extensions, which this X server does not offer.");

// clang-format off
INSTANTIATE_TEST_SUITE_P(PopoverView, EveryState, ::testing::Values(
    StateRow{"readyList", PopoverState::ready(CaptureMethod::ax), false, PopoverLayout::list, true,
             {"Translate to English", "Fix Grammar", "Improve AI Prompt", "EN"}},
    StateRow{"resultChips", PopoverState::result(TextAction::fixGrammar()), true, PopoverLayout::chips, true,
             {"Replace", "Copy", "Back", "120 in · 45 out"}},
    StateRow{"resultList", PopoverState::result(TextAction::fixGrammar()), true, PopoverLayout::list, true,
             {"Replace", "Copy", "Back", "120 in · 45 out"}},
    StateRow{"resultWithoutUsage", PopoverState::result(TextAction::fixGrammar()), false, PopoverLayout::chips, true,
             {"Replace", "Copy", "Back"}},
    StateRow{"errorChips", PopoverState::error(failure, retry), false, PopoverLayout::chips, false,
             {failure, "Try Again", "Copy", "Back"}},
    StateRow{"needsPermissionChips", PopoverState::needsPermission(), false, PopoverLayout::chips, false,
             {"Keyboard access needed", permission, "How to Fix…"}},
    StateRow{"noSelectionChips", PopoverState::noSelection(), false, PopoverLayout::chips, false,
             {"Select some text first, then press the hotkey."}}
), [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
