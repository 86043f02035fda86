// SPDX-License-Identifier: MIT
#include "ViewProbe.h"
#include "ViewTestFixture.h"
#include "ui/PopoverEditor.h"

#include <QTextEdit>

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
    StateRow{"readyChips", PopoverState::ready(CaptureMethod::ax), false, PopoverLayout::chips, true,
             {"Translate", "Fix Grammar", "Improve AI Prompt", "EN"}},
    StateRow{"readyList", PopoverState::ready(CaptureMethod::ax), false, PopoverLayout::list, true,
             {"Translate to English", "Fix Grammar", "Improve AI Prompt", "EN"}},
    StateRow{"loadingChips", PopoverState::loading(TextAction::translate()), false, PopoverLayout::chips, true,
             {"Translating to English…"}},
    StateRow{"loadingList", PopoverState::loading(TextAction::rewrite(Style::formal)), false, PopoverLayout::list, true,
             {"Fixing grammar (formal tone)…"}},
    StateRow{"resultChips", PopoverState::result(TextAction::fixGrammar()), true, PopoverLayout::chips, true,
             {"Replace", "Copy", "Back", "120 in · 45 out"}},
    StateRow{"resultList", PopoverState::result(TextAction::fixGrammar()), true, PopoverLayout::list, true,
             {"Replace", "Copy", "Back", "120 in · 45 out"}},
    StateRow{"resultWithoutUsage", PopoverState::result(TextAction::fixGrammar()), false, PopoverLayout::chips, true,
             {"Replace", "Copy", "Back"}},
    StateRow{"errorChips", PopoverState::error(failure, retry), false, PopoverLayout::chips, false,
             {failure, "Try Again", "Copy", "Back"}},
    StateRow{"errorList", PopoverState::error(failure, retry), false, PopoverLayout::list, false,
             {failure, "Try Again", "Copy", "Back"}},
    StateRow{"needsPermissionChips", PopoverState::needsPermission(), false, PopoverLayout::chips, false,
             {"Keyboard access needed", permission, "How to Fix…"}},
    StateRow{"needsPermissionList", PopoverState::needsPermission(), false, PopoverLayout::list, false,
             {"Keyboard access needed", permission, "How to Fix…"}},
    StateRow{"noSelectionChips", PopoverState::noSelection(), false, PopoverLayout::chips, false,
             {"Select some text first, then press the hotkey."}},
    StateRow{"noSelectionList", PopoverState::noSelection(), false, PopoverLayout::list, false,
             {"Select some text first, then press the hotkey."}}
), [](const auto& info) { return std::string(info.param.name); });
// clang-format on

struct WidthRow {
    PanelWidth width;
    PopoverLayout layout;
    std::set<PopoverAction> enabled;
    int expected;
};

TEST(PopoverViewWidth, FollowsThePreferenceAndTheChipsRule)
{
    const std::set<PopoverAction> all = {PopoverAction::translate, PopoverAction::fixGrammar,
                                         PopoverAction::improvePrompt};
    const std::set<PopoverAction> two = {PopoverAction::translate, PopoverAction::improvePrompt};
    const WidthRow rows[] = {
        {PanelWidth::narrow, PopoverLayout::chips, all, 490},
        {PanelWidth::narrow, PopoverLayout::list, all, 420},
        {PanelWidth::narrow, PopoverLayout::chips, two, 420},
        {PanelWidth::standard, PopoverLayout::chips, all, 490},
        {PanelWidth::standard, PopoverLayout::list, two, 490},
        {PanelWidth::wide, PopoverLayout::chips, all, 560},
        {PanelWidth::wide, PopoverLayout::list, all, 560},
    };
    for (const WidthRow& row : rows) {
        SCOPED_TRACE(::testing::Message() << rawValue(row.width).toStdString() << " "
                                          << rawValue(row.layout).toStdString() << " "
                                          << row.enabled.size() << " actions");
        ViewTestFixture fixture;
        ViewTestFixture::setPreferences(row.layout, row.width, row.enabled);
        fixture.model.setState(PopoverState::ready(CaptureMethod::ax));
        fixture.makeView();
        ASSERT_EQ(fixture.reports.size(), 1);
        EXPECT_EQ(fixture.reports.first().width(), row.expected);
    }
}

TEST(PopoverViewEditor, HeightStartsAtThePreferenceAndGrowsToTheMaximum)
{
    const struct {
        InputHeight height;
        InputTextSize textSize;
        int minimum;
        int pixelSize;
    } rows[] = {
        {InputHeight::compact, InputTextSize::small, 56, 13},
        {InputHeight::standard, InputTextSize::standard, 88, 14},
        {InputHeight::large, InputTextSize::large, 140, 15},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(rawValue(row.height).toStdString());
        ViewTestFixture fixture;
        Preferences::setInputHeight(row.height);
        Preferences::setInputTextSize(row.textSize);
        fixture.model.setState(PopoverState::ready(CaptureMethod::ax));
        PopoverView& view = fixture.makeView();
        PopoverEditor& editor = view.editor();
        EXPECT_EQ(editor.height(), row.minimum);
        EXPECT_EQ(editor.textEdit().font().pixelSize(), row.pixelSize);

        QStringList lines;
        for (int line = 0; line < 30; ++line)
            lines.append(QStringLiteral("Line %1 of a long draft").arg(line));
        fixture.model.setEditableOriginal(lines.join(QLatin1Char('\n')));
        EXPECT_EQ(editor.height(), 260);
        ViewTestFixture::settle();
        EXPECT_EQ(fixture.reports.size(), 2);
        EXPECT_EQ(fixture.reports.last().height() - fixture.reports.first().height(),
                  260 - row.minimum);
    }
}

TEST(PopoverViewEditor, MediumTextGrowsBetweenTheLimits)
{
    ViewTestFixture fixture;
    Preferences::setInputHeight(InputHeight::compact);
    fixture.model.setState(PopoverState::ready(CaptureMethod::ax));
    PopoverView& view = fixture.makeView();
    fixture.model.setEditableOriginal(QStringLiteral("one\ntwo\nthree\nfour"));
    EXPECT_GT(view.editor().height(), 56);
    EXPECT_LT(view.editor().height(), 260);
}

} // namespace
