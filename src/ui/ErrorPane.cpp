// SPDX-License-Identifier: MIT
#include "ui/ErrorPane.h"

#include "app/Callback.h"
#include "app/PopoverModel.h"
#include "ui/ChipButton.h"
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
    const int lineHeight = QFontMetrics(popoverFont(messageSize)).height();
    sign->setFixedHeight(std::max(lineHeight, iconSize));
    messageRow->addWidget(sign, 0, Qt::AlignTop);
    QLabel* message = popoverLabel(model.state().message(), messageSize,
                                   PopoverPalette::textPrimary(), this, true);
    message->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    messageRow->addWidget(message, 1);
    column->addLayout(messageRow);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    const ErrorRecovery recovery = model.state().recovery();
    if (auto text = PopoverTexts::recoveryButton(recovery))
        buttons->addWidget(chip(*text, ChipTone::accent, recoveryCallback(model, recovery), this));
    buttons->addWidget(chip(PopoverTexts::errorCopy(), ChipTone::plain, model.onCopy, this));
    buttons->addWidget(chip(PopoverTexts::errorBack(), ChipTone::plain, model.onBack, this));
    buttons->addStretch(1);
    column->addLayout(buttons);
}
