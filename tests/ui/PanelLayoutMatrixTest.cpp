// SPDX-License-Identifier: MIT
// The real panel, drawn offscreen, in every state and in a few layouts, sizes and texts, checked
// the way a person looks at it: nothing drawn over anything else, nothing outside the panel, the
// whole text readable or scrollable, buttons tall enough for their words, the panel as tall
// as its content. Where it opens is PanelGeometry's.
#include "settings/Preferences.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeDesktopGeometry.h"
#include "support/fakes/FakeOutsideClickWatcher.h"
#include "ui/PopoverController.h"
#include "ui/PopoverEditor.h"
#include "ui/PopoverPanel.h"
#include "ui/PopoverSizes.h"
#include "ui/PopoverView.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

// In this order, so that Back from a result to the ready state is among the changes.
const std::pair<const char*, PopoverState> states[] = {
    {"loading", PopoverState::loading(TextAction::translate())},
    {"result", PopoverState::result(TextAction::fixGrammar())},
    {"ready", PopoverState::ready(CaptureMethod::ax)},
    {"error", PopoverState::error(QStringLiteral("Secure input is active (a password field) — "
                                                 "pasting is blocked. The result was copied."),
                                  ErrorRecovery::retry)},
    {"noSelection", PopoverState::noSelection()},
    {"needsPermission", PopoverState::needsPermission()},
    {"needsService", PopoverState::needsService()},
};

QRect rectIn(const QWidget* widget, const QWidget* panel)
{
    return {widget->mapTo(panel, QPoint(0, 0)), widget->size()};
}

QString name(const QWidget* widget)
{
    return QLatin1String(widget->metaObject()->className()) + QLatin1Char(' ') +
           widget->property("text").toString().left(12);
}

// Every fault of the panel as it is now, in words.
QStringList faults(const PopoverController& controller, int width, InputHeight height,
                   InputTextSize size)
{
    QStringList found;
    const PopoverPanel& panel = controller.panel();
    QList<const QWidget*> shown; // what a person sees as one thing
    for (const QWidget* widget : panel.findChildren<QWidget*>()) {
        if (widget->isVisible() && !qobject_cast<PopoverEditor*>(widget->parent()) &&
            (widget->inherits("PopoverEditor") || widget->inherits("QLabel") ||
             widget->inherits("QAbstractButton") || widget->inherits("ProgressSpinner")))
            shown.append(widget);
    }
    int lowest = 0;
    for (int index = 0; index < shown.size(); ++index) {
        const QWidget* a = shown[index];
        const QRect rect = rectIn(a, &panel);
        lowest = std::max(lowest, rect.bottom() + 1);
        if (!panel.rect().contains(rect))
            found << name(a) + QStringLiteral(" leaves the panel");
        for (const QWidget* b : shown.mid(index + 1)) {
            if (rect.intersects(rectIn(b, &panel)))
                found << name(a) + QStringLiteral(" overlaps ") + name(b);
        }
        const QSize least = a->minimumSizeHint().expandedTo({0, QFontMetrics(a->font()).height()});
        if (a->inherits("QAbstractButton") && !(a->size() - least).isValid())
            found << name(a) + QStringLiteral(" squashed to %1 px").arg(a->height());
    }
    if (panel.width() != width)
        found << QStringLiteral("panel %1 wide instead of %2").arg(panel.width()).arg(width);
    if (panel.height() - lowest < PopoverSizes::outerPadding ||
        panel.height() - lowest > 2 * PopoverSizes::outerPadding)
        found << QStringLiteral("%1 px below the content").arg(panel.height() - lowest);

    const PopoverEditor& editor = controller.view().editor();
    const QTextEdit& edit = editor.textEdit();
    const QScrollBar& bar = *edit.verticalScrollBar();
    const int hidden = int(edit.document()->size().height()) - edit.viewport()->height();
    if (!editor.isVisible())
        return found;
    // As tall as its text (10 px of margins), within the chosen minimum and the maximum.
    const int fitting =
        std::clamp(int(edit.document()->size().height()) + 10,
                   PopoverSizes::editorMinimumHeight(height), PopoverSizes::editorMaximumHeight);
    if (edit.font().pixelSize() != PopoverSizes::editorFontSize(size) ||
        std::abs(editor.height() - fitting) > 2)
        found << QStringLiteral("editor %1 px tall for %2 px").arg(editor.height()).arg(fitting);
    if (edit.document()->idealWidth() > edit.viewport()->width() + 1)
        found << QStringLiteral("text wider than the editor");
    if (hidden > 1 && (!bar.isVisible() || bar.maximum() < hidden - 1 ||
                       !editor.rect().contains(rectIn(&bar, &editor))))
        found << QStringLiteral("text cut off without a scroll bar");
    return found;
}

// Rows that take each layout, the narrowest and the widest panel, each input height and text
// size, one to three actions, and texts from empty to the longest, unbreakable, multi-line and
// right-to-left. Each row goes through every state; the panel is checked after each change.
TEST(PanelLayoutMatrix, EveryStateLaysOutCleanlyInEveryLayoutAndSize)
{
    ScopedConfigHome config;
    Preferences preferences{UserDefaults::standard()};
    ScopedLogCapture quiet;
    auto desktop = std::make_unique<FakeDesktopGeometry>();
    desktop->screenAreas = {{QRect(0, 0, 1280, 720), QRect(0, 28, 1280, 692)}};
    PopoverController controller(std::make_unique<FakeOutsideClickWatcher>(), preferences,
                                 std::move(desktop));
    PopoverModel& model = controller.model();
    using A = PopoverAction;
    const QString longest = QString("All work and no play makes a dull answer. ").repeated(72);
    const struct {
        PopoverLayout layout;
        InputHeight height;
        InputTextSize size;
        PanelWidth width;
        std::set<PopoverAction> actions;
        QString original, result;
    } rows[] = {
        // clang-format off
        {PopoverLayout::chips, InputHeight::compact, InputTextSize::large, PanelWidth::narrow, {A::translate, A::fixGrammar, A::improvePrompt}, QString("x").repeated(200), longest},
        {PopoverLayout::list, InputHeight::large, InputTextSize::small, PanelWidth::wide, {A::improvePrompt}, {}, "One.\nTwo, a longer line.\nThree.\nFour.\nFive, the end."},
        {PopoverLayout::list, InputHeight::compact, InputTextSize::large, PanelWidth::narrow, {A::translate, A::fixGrammar, A::improvePrompt}, longest, "Hello"},
        {PopoverLayout::chips, InputHeight::standard, InputTextSize::standard, PanelWidth::wide, {A::translate, A::fixGrammar}, "Hello", "השחרור נדחה לשבוע הבא בגלל תקלה במייבא הנתונים שמצאנו אתמול."},
        {PopoverLayout::chips, InputHeight::large, InputTextSize::small, PanelWidth::standard, {A::improvePrompt}, {}, "Ship it 🚀🎉 — done ✅👍🏽 and 👨‍👩‍👧‍👦 happy"},
        // clang-format on
    };
    QStringList failures;
    for (const auto& row : rows) {
        const QString label = QStringLiteral(" in row %1: ").arg(&row - rows);
        preferences.setPopoverLayout(row.layout);
        preferences.setInputHeight(row.height);
        preferences.setInputTextSize(row.size);
        preferences.setPanelWidth(row.width);
        preferences.setEnabledActions(row.actions);
        model.setEditableOriginal(row.original);
        controller.show(QPoint(40, 68));
        for (const auto& [stateName, state] : states) {
            if (state.is(PopoverState::Kind::result)) {
                model.setEditableResult(row.result);
                model.setLastUsage(QStringLiteral("88 in · 73 out"));
            }
            model.setState(state);
            for (int round = 0; round < 3; ++round)
                QCoreApplication::sendPostedEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            const QStringList found =
                faults(controller, PopoverSizes::panelWidth(row.width), row.height, row.size);
            if (!found.isEmpty())
                failures << QLatin1String(stateName) + label + found.join(QStringLiteral("; "));
        }
    }
    EXPECT_TRUE(failures.isEmpty()) << failures.join(QLatin1Char('\n')).toStdString();
}

} // namespace
