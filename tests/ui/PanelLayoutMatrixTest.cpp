// SPDX-License-Identifier: MIT
// The real panel, drawn offscreen, in every state, layout, size and text, checked the way
// a person looks at it: nothing drawn over anything else, nothing outside the panel, the
// whole text readable or scrollable, buttons tall enough for their words, signs in line
// with their text, the panel as tall as its content and on screen wherever it opens.
#include "FakeDesktopGeometry.h"
#include "platform/fake/FakeOutsideClickWatcher.h"
#include "settings/Preferences.h"
#include "support/TestEnvironment.h"
#include "ui/PopoverController.h"
#include "ui/PopoverEditor.h"
#include "ui/PopoverPanel.h"
#include "ui/PopoverSizes.h"
#include "ui/PopoverView.h"
#include "ui/ProgressSpinner.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

const QRect available(0, 28, 1280, 692);

QStringList answers()
{
    return {
        {},
        QStringLiteral("Hello"),
        QStringLiteral("The release is delayed until next week because of the importer."),
        QStringLiteral("One.\nTwo, a longer line.\nThree.\nFour.\nFive, the last line."),
        QStringLiteral("All work and no play makes a dull answer. ").repeated(72).left(3000),
        QStringLiteral("x").repeated(200),
        QStringLiteral("השחרור נדחה לשבוע הבא בגלל תקלה במייבא הנתונים שמצאנו אתמול."),
        QStringLiteral("გამოშვება გადაიდო მომავალ კვირამდე, რადგან იმპორტში შეცდომა ვიპოვეთ."),
        QStringLiteral("Ship it 🚀🎉 — done ✅👍🏽 and 👨‍👩‍👧‍👦 happy"),
    };
}

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
};

const std::set<PopoverAction> actionSets[] = {
    {PopoverAction::improvePrompt},
    {PopoverAction::translate, PopoverAction::fixGrammar},
    {PopoverAction::translate, PopoverAction::fixGrammar, PopoverAction::improvePrompt},
};

QRect rectIn(const QWidget* widget, const QWidget* panel)
{
    return {widget->mapTo(panel, QPoint(0, 0)), widget->size()};
}

QString name(const QWidget* widget)
{
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text().isEmpty() ? QStringLiteral("a menu") : button->text();
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text().isEmpty() ? QStringLiteral("a sign") : label->text().left(12);
    return QString::fromLatin1(widget->metaObject()->className());
}

// The middle of a label's first line of text.
int firstLineMiddle(const QLabel& label, const QRect& rect)
{
    const int line = QFontMetrics(label.font()).height();
    const int text = label.wordWrap() ? label.heightForWidth(label.width()) : line;
    const int top = label.alignment() & Qt::AlignTop ? 0 : (label.height() - text) / 2;
    return rect.top() + top + line / 2;
}

// Every fault of the panel as it is now, in words.
QStringList faults(const PopoverController& controller, int editorMinimum, int width)
{
    QStringList found;
    const PopoverPanel& panel = controller.panel();
    QList<const QWidget*> shown; // what a person sees as one thing
    for (const QWidget* widget : panel.findChildren<QWidget*>()) {
        if (widget->isVisible() && !qobject_cast<PopoverEditor*>(widget->parent()) &&
            (qobject_cast<const PopoverEditor*>(widget) || qobject_cast<const QLabel*>(widget) ||
             qobject_cast<const QAbstractButton*>(widget) ||
             qobject_cast<const ProgressSpinner*>(widget)))
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
        if (qobject_cast<const QAbstractButton*>(a) && !(a->size() - least).isValid())
            found << name(a) + QStringLiteral(" squashed to %1 px").arg(a->height());
        const auto* sign = qobject_cast<const QLabel*>(a);
        const auto* text = qobject_cast<const QLabel*>(shown.value(index + 1));
        if (sign && text && !sign->pixmap().isNull() &&
            std::abs(rect.center().y() - firstLineMiddle(*text, rectIn(text, &panel))) > 1)
            found << QStringLiteral("sign out of line with ") + name(text);
    }
    if (panel.width() != width)
        found << QStringLiteral("panel %1 wide instead of %2").arg(panel.width()).arg(width);
    const int below = panel.height() - lowest;
    if (below < PopoverSizes::outerPadding || below > 2 * PopoverSizes::outerPadding)
        found << QStringLiteral("%1 px below the content").arg(below);

    const PopoverEditor& editor = controller.view().editor();
    if (editor.isVisible()) {
        const QTextEdit& edit = editor.textEdit();
        const QScrollBar& bar = *edit.verticalScrollBar();
        const int hidden = int(edit.document()->size().height()) - edit.viewport()->height();
        if (editor.height() < editorMinimum)
            found << QStringLiteral("editor below its minimum height");
        if (edit.document()->idealWidth() > edit.viewport()->width() + 1)
            found << QStringLiteral("text wider than the editor");
        if (hidden > 1 && (!bar.isVisible() || bar.maximum() < hidden - 1 ||
                           !editor.rect().contains(rectIn(&bar, &editor))))
            found << QStringLiteral("text cut off without a scroll bar");
    }
    return found;
}

// Pointers near each corner; at the bottom there is room above them only.
const QPoint corners[] = {
    available.topLeft() + QPoint(40, 40), available.topRight() + QPoint(-40, 40),
    available.bottomLeft() + QPoint(40, -40), available.bottomRight() + QPoint(-40, -40)};

// Where the panel opens beside pointers near each corner: below them at the top, above them
// at the bottom, and always on screen.
QStringList placementFaults(PopoverController& controller)
{
    QStringList found;
    for (const QPoint corner : corners) {
        controller.show(corner);
        const QRect frame = controller.panel().frameGeometry();
        const bool below = corner.y() < available.center().y();
        if (!available.contains(frame) ||
            (below ? frame.top() <= corner.y() : frame.bottom() >= corner.y()))
            found << QStringLiteral("opened at %1,%2 for a pointer at %3,%4")
                         .arg(frame.x())
                         .arg(frame.y())
                         .arg(corner.x())
                         .arg(corner.y());
    }
    return found;
}

// The full product of layout, input height, text size, state and text; the panel widths
// and action sets turn with the text, so that each meets every other value and, in each
// state with an editor, every layout and size.
TEST(PanelLayoutMatrix, EveryStateLaysOutCleanlyInEveryLayoutSizeAndPlace)
{
    ScopedConfigHome config;
    ScopedLogCapture quiet;
    auto desktop = std::make_unique<FakeDesktopGeometry>();
    desktop->screenAreas = {{QRect(0, 0, 1280, 720), available}};
    PopoverController controller(std::make_unique<FakeOutsideClickWatcher>(), std::move(desktop));
    PopoverModel& model = controller.model();
    const QStringList texts = answers();
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
        Preferences::setPopoverLayout(layout);
        Preferences::setInputHeight(height);
        Preferences::setInputTextSize(size);
        Preferences::setPanelWidth(width);
        Preferences::setEnabledActions(actions);
        // As a capture leaves it: another text as the original, no answer yet.
        model.setEditableOriginal(texts[(textIndex + 1) % texts.size()]);
        model.setEditableResult({});
        model.setLastUsage(std::nullopt);
        const QPoint pointer = corners[combination % 4];
        controller.show(pointer);
        for (const auto& [stateName, state] : states) {
            // Without an editor the text does not matter: those states once per setting.
            if (textIndex >= 3 && state.kind() >= PopoverState::Kind::error)
                continue;
            if (state.is(PopoverState::Kind::result)) {
                model.setEditableResult(texts[textIndex]);
                model.setLastUsage(QStringLiteral("88 in · 73 out"));
            }
            model.setState(state);
            for (int round = 0; round < 3; ++round) {
                QCoreApplication::sendPostedEvents();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
            ++cases;
            QStringList found = faults(controller, PopoverSizes::editorMinimumHeight(height),
                                       PopoverSizes::panelWidth(width));
            // Its size followed, the panel stays on screen beside the pointer it opened at.
            const QRect frame = controller.panel().frameGeometry();
            if (!available.contains(frame) || frame.contains(pointer))
                found << QStringLiteral("panel at %1,%2").arg(frame.x()).arg(frame.y());
            found << placementFaults(controller);
            controller.show(pointer);
            if (!found.isEmpty())
                failures << QStringLiteral("%1 %2 %3 %4 %5 %6 actions, text %7: %8")
                                .arg(QLatin1String(stateName), rawValue(layout), rawValue(height),
                                     rawValue(size), rawValue(width))
                                .arg(actions.size())
                                .arg(textIndex)
                                .arg(found.join(QStringLiteral("; ")));
        }
    }
    EXPECT_EQ(cases, 2 * 3 * 3 * (9 * 3 + 3 * 3));
    EXPECT_TRUE(failures.isEmpty()) << failures.size() << " of " << cases << " cases fail:\n"
                                    << failures.mid(0, 30).join(QLatin1Char('\n')).toStdString();
}

} // namespace
