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
    "Quillmark reads your selected text and pastes the result back — both require the "
    "Accessibility permission. Enable Quillmark in the list, then press the hotkey again.");

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
             {"Accessibility access needed", permission, "Open System Settings"}},
    StateRow{"needsPermissionList", PopoverState::needsPermission(), false, PopoverLayout::list, false,
             {"Accessibility access needed", permission, "Open System Settings"}},
    StateRow{"noSelectionChips", PopoverState::noSelection(), false, PopoverLayout::chips, false,
             {"Select some text first, then press the hotkey."}},
    StateRow{"noSelectionList", PopoverState::noSelection(), false, PopoverLayout::list, false,
             {"Select some text first, then press the hotkey."}}
), [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(PopoverViewEditor, HeightStartsAtThePreferenceAndGrowsToTheMaximum)
{
    const struct {
        InputHeight height;
        InputTextSize textSize;
        int minimum;
        int pixelSize;
    } rows[] = {
        {InputHeight::compact, InputTextSize::small, 56, 12},
        {InputHeight::standard, InputTextSize::standard, 88, 14},
        {InputHeight::large, InputTextSize::large, 140, 17},
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
