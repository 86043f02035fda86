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

    QList<PopoverTexts::Control> texts;
    if (auto text = PopoverTexts::recoveryButton(model.state().recovery()))
        texts.append(*text);
    texts << (model.copyConfirmed() ? PopoverTexts::copied() : PopoverTexts::errorCopy())
          << PopoverTexts::errorBack();
    const QList<const std::function<void()>*> callbacks = model.errorButtons();
    Q_ASSERT(callbacks.size() == texts.size());
    auto* buttons = new ChipFlow(nullptr, 6);
    // Only a recovery is accented; it always comes first.
    const bool hasRecovery = texts.size() > 2;
    for (int index = 0; index < texts.size(); ++index) {
        const ChipTone tone = index == 0 && hasRecovery ? ChipTone::accent : ChipTone::plain;
        buttons->addWidget(chip(texts[index], tone, *callbacks[index], this));
    }
    column->addLayout(buttons);
}
