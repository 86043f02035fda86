// SPDX-License-Identifier: MIT
#include "ui/ResultBar.h"

#include "core/Callback.h"
#include "core/PopoverModel.h"
#include "ui/ActionRow.h"
#include "ui/ChipButton.h"
#include "ui/ChipFlow.h"
#include "ui/PopoverLabel.h"
#include "ui/PopoverPalette.h"
#include "ui/PopoverTexts.h"

#include <QBoxLayout>
#include <array>

namespace {

using PopoverTexts::ResultControl;

constexpr std::array<ResultControl, 3> controls = {ResultControl::replace, ResultControl::copy,
                                                   ResultControl::back};

} // namespace

ResultBar::ResultBar(PopoverModel& model, PopoverLayout layout, QWidget* parent)
    : QWidget(parent)
{
    const auto callbackFor = [&model](ResultControl control) {
        switch (control) {
        case ResultControl::replace:
            return &model.onReplace;
        case ResultControl::copy:
            return &model.onCopy;
        case ResultControl::back:
            break;
        }
        return &model.onBack;
    };
    // Copy says "Copied" once it has copied, until the panel closes.
    const auto textOf = [&model](ResultControl control, PopoverTexts::Layout look) {
        if (control == ResultControl::copy && model.copyConfirmed())
            return PopoverTexts::copied();
        return PopoverTexts::resultControl(control, look);
    };
    // The token counts of the call, only when the back-end reported them.
    const auto makeUsageLabel = [this, &model]() -> QLabel* {
        if (!model.lastUsage())
            return nullptr;
        QLabel* label = popoverLabel(*model.lastUsage(), 10, PopoverPalette::textTertiary(), this);
        label->setToolTip(PopoverTexts::usageTooltip());
        return label;
    };

    if (layout == PopoverLayout::chips) {
        auto* row = new ChipFlow(this, 5);
        for (ResultControl control : controls) {
            const auto text = textOf(control, PopoverTexts::Layout::chips);
            const ChipTone tone =
                control == ResultControl::replace ? ChipTone::accent : ChipTone::plain;
            auto* chip = new ChipButton(text.icon, text.title, tone, this);
            chip->setToolTip(text.tooltip);
            const auto* callback = callbackFor(control);
            connect(chip, &ChipButton::clicked, this, [callback] { invokeIfSet(*callback); });
            row->addWidget(chip);
        }
        if (QLabel* usageLabel = makeUsageLabel())
            row->setTrailingWidget(usageLabel);
        return;
    }

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(1);
    for (int index = 0; index < int(controls.size()); ++index) {
        const ResultControl control = controls[index];
        const auto text = textOf(control, PopoverTexts::Layout::list);
        auto* row = new ActionRow({text.icon, text.title, PopoverTexts::shortcut(index + 1),
                                   control == ResultControl::replace, false},
                                  this);
        row->setToolTip(text.tooltip);
        const auto* callback = callbackFor(control);
        connect(row, &ActionRow::clicked, this, [callback] { invokeIfSet(*callback); });
        column->addWidget(row);
    }
    if (QLabel* usageLabel = makeUsageLabel()) {
        usageLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        usageLabel->setContentsMargins(10, 2, 10, 0);
        column->addWidget(usageLabel);
    }
}
