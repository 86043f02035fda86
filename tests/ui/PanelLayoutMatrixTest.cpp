// SPDX-License-Identifier: MIT
// The real panel, drawn offscreen, in every state, layout, size and text, checked the way
// a person looks at it: nothing drawn over anything else, nothing outside the panel, the
// whole text readable or scrollable, buttons tall enough for their words, signs in line
// with their text, the panel as tall as its content. Where it opens is PanelGeometry's.
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
#include <QLabel>
#include <QScrollBar>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

const QStringList texts = {
    {},
    QStringLiteral("Hello"),
    QStringLiteral("The release is delayed until next week because of the importer."),
    QStringLiteral("One.\nTwo, a longer line.\nThree.\nFour.\nFive, the last line."),
    QStringLiteral("All work and no play makes a dull answer. ").repeated(72).left(3000),
    QStringLiteral("x").repeated(200),
    QStringLiteral("השחרור נדחה לשבוע הבא בגלל תקלה במייבא הנתונים שמצאנו אתמול."),
    QStringLiteral("გამოშვება გადაიდო მომავალ კვირამდე, რადგან იმპორტში შეცდომა ვიპოვეთ."),
    QStringLiteral("Ship it 🚀🎉 — done ✅👍🏽 and 👨‍👩‍👧‍👦 happy")};

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

const std::set<PopoverAction> actionSets[] = {
    {PopoverAction::improvePrompt},
    {PopoverAction::translate, PopoverAction::fixGrammar},
    {PopoverAction::translate, PopoverAction::fixGrammar, PopoverAction::improvePrompt}};

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
        // A sign sits in the middle of the first line of the text after it.
        const auto* sign = qobject_cast<const QLabel*>(a);
        const QWidget* text = shown.value(index + 1);
        if (sign && !sign->pixmap().isNull() && text &&
            std::abs(rect.center().y() - rectIn(text, &panel).top() -
                     QFontMetrics(text->font()).height() / 2) > 1)
            found << QStringLiteral("sign out of line with ") + name(text);
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

// The full product of layout, input height, text size, state and text; the panel widths
// and action sets turn with the text, so that each meets every other value and, in each
// state with an editor, every layout and size. The panel is checked after each change.
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
    int cases = 0;
    QStringList failures;
    for (int combination = 0; combination < 2 * 3 * 3 * 9; ++combination) {
        const int textIndex = combination % 9;
        const int setting = combination / 9; // the layout, input height and text size
        const PopoverLayout layout = allCases(CasesOf<PopoverLayout>{})[setting / 9];
        const InputHeight height = allCases(CasesOf<InputHeight>{})[setting / 3 % 3];
        const InputTextSize size = allCases(CasesOf<InputTextSize>{})[setting % 3];
        const PanelWidth width = allCases(CasesOf<PanelWidth>{})[(setting + textIndex) % 3];
        const std::set<PopoverAction>& actions = actionSets[(setting + textIndex / 3) % 3];
        preferences.setPopoverLayout(layout);
        preferences.setInputHeight(height);
        preferences.setInputTextSize(size);
        preferences.setPanelWidth(width);
        preferences.setEnabledActions(actions);
        const QString label =
            QString::asprintf(" %s %s %s %s, %d actions, text %d: ", qPrintable(rawValue(layout)),
                              qPrintable(rawValue(height)), qPrintable(rawValue(size)),
                              qPrintable(rawValue(width)), int(actions.size()), textIndex);
        // The answer comes to another text than the original, as translations do.
        model.setEditableOriginal(texts[(textIndex + 1) % texts.size()]);
        controller.show(QPoint(40, 68));
        for (const auto& [stateName, state] : states) {
            // Without an editor the text does not matter: those states once per setting.
            if (textIndex >= 3 && state.kind() >= PopoverState::Kind::error)
                continue;
            if (state.is(PopoverState::Kind::result)) {
                model.setEditableResult(texts[textIndex]);
                model.setLastUsage(QStringLiteral("88 in · 73 out"));
            }
            model.setState(state);
            for (int round = 0; round < 3; ++round)
                QCoreApplication::sendPostedEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            ++cases;
            const QStringList found =
                faults(controller, PopoverSizes::panelWidth(width), height, size);
            if (!found.isEmpty())
                failures << QLatin1String(stateName) + label + found.join(QStringLiteral("; "));
        }
    }
    EXPECT_EQ(cases, 2 * 3 * 3 * (9 * 3 + 3 * 4));
    EXPECT_TRUE(failures.isEmpty()) << failures.size() << " of " << cases << " cases fail:\n"
                                    << failures.mid(0, 30).join(QLatin1Char('\n')).toStdString();
}

} // namespace
