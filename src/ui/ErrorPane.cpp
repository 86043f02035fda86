// SPDX-License-Identifier: MIT
#include "ui/ErrorPane.h"

#include "core/Callback.h"
#include "core/PopoverModel.h"
#include "ui/ChipButton.h"
#include "ui/ChipFlow.h"
#include "ui/PopoverLabel.h"
#include "ui/PopoverPalette.h"
#include "ui/PopoverTexts.h"
#include "ui/SymbolIcons.h"

#include <QBoxLayout>

namespace {

constexpr int messageSize = 12;
constexpr int iconSize = 13;

const std::function<void()>& recoveryCallback(PopoverModel& model, ErrorRecovery recovery)
{
    switch (recovery) {
    case ErrorRecovery::openSettings:
        return model.onOpenSettings;
    case ErrorRecovery::update:
        return model.onUpdate;
    case ErrorRecovery::retry:
    case ErrorRecovery::none:
        break;
    }
    return model.onRetry;
}

ChipButton* chip(const PopoverTexts::Control& text, ChipTone tone,
                 const std::function<void()>& callback, QWidget* parent)
{
    auto* button = new ChipButton(text.icon, text.title, tone, parent);
    button->setToolTip(text.tooltip);
    QObject::connect(button, &ChipButton::clicked, parent, [&callback] { invokeIfSet(callback); });
    return button;
}

} // namespace

ErrorPane::ErrorPane(PopoverModel& model, QWidget* parent)
    : QWidget(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(8);

    // The sign sits on the message's first line, however many lines the message takes.
    auto* messageRow = new QHBoxLayout;
    messageRow->setSpacing(6);
    auto* sign = new QLabel(this);
    sign->setPixmap(SymbolIcons::pixmap(QStringLiteral("exclamationmark.triangle.fill"), iconSize,
                                        PopoverPalette::warning(), devicePixelRatioF()));
    QLabel* message = popoverLabel(model.state().message(), messageSize,
                                   PopoverPalette::textPrimary(), this, true);
    message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    message->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    // The sign is centred on a box as tall as one line of the message.
    sign->setAlignment(Qt::AlignCenter);
    sign->setFixedHeight(std::max(QFontMetrics(message->font()).height(), iconSize));
    messageRow->addWidget(sign, 0, Qt::AlignTop);
    messageRow->addWidget(message, 1, Qt::AlignTop);
    column->addLayout(messageRow);

    auto* buttons = new ChipFlow(nullptr, 6);
    const ErrorRecovery recovery = model.state().recovery();
    if (auto text = PopoverTexts::recoveryButton(recovery))
        buttons->addWidget(chip(*text, ChipTone::accent, recoveryCallback(model, recovery), this));
    buttons->addWidget(chip(PopoverTexts::errorCopy(), ChipTone::plain, model.onCopy, this));
    buttons->addWidget(chip(PopoverTexts::errorBack(), ChipTone::plain, model.onBack, this));
    column->addLayout(buttons);
}
