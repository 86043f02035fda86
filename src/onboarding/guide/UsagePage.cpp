// SPDX-License-Identifier: MIT
#include "onboarding/guide/UsagePage.h"

#include "core/Callback.h"
#include "onboarding/guide/GuideStyle.h"
#include "onboarding/guide/KeyCaps.h"
#include "settings/PopoverEnums.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

struct UsageRow {
    const char* symbol;
    PopoverAction action;
    const char* text;
};

// clang-format off
constexpr UsageRow usageRows[] = {
    {"globe", PopoverAction::translate, "Ten languages, picked in the panel."},
    {"checkmark.circle", PopoverAction::fixGrammar,
     "Typos and tenses — or a tone: business, friendly, casual, formal, concise."},
    {"sparkles", PopoverAction::improvePrompt, "A rough idea becomes a prompt worth sending."},
};
// clang-format on

} // namespace

UsagePage::UsagePage(QWidget* parent)
    : QWidget(parent)
    , m_keys(new KeyCaps(this))
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(14);
    column->addWidget(GuideStyle::title(QStringLiteral("Try it on anything."), this));
    auto* pressRow = new QHBoxLayout;
    pressRow->setSpacing(8);
    pressRow->addWidget(new QLabel(QStringLiteral("Select some text, then press"), this));
    pressRow->addWidget(m_keys);
    pressRow->addStretch(1);
    column->addLayout(pressRow);

    const QColor accent = palette().color(QPalette::Highlight);
    for (const UsageRow& row : usageRows) {
        auto* line = new QHBoxLayout;
        line->setSpacing(10);
        auto* icon = new QLabel(this);
        icon->setPixmap(GuideStyle::symbol(QString::fromUtf8(row.symbol), 18, accent, *this));
        line->addWidget(icon, 0, Qt::AlignTop);
        auto* words = new QVBoxLayout;
        words->setSpacing(2);
        auto* title = new QLabel(::title(row.action), this);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        words->addWidget(title);
        words->addWidget(GuideStyle::hint(QString::fromUtf8(row.text), this));
        line->addLayout(words, 1);
        column->addLayout(line);
    }

    column->addWidget(GuideStyle::body(
        QStringLiteral("Then Replace pastes it back over your selection, or Copy takes it."),
        this));
    auto* settings = GuideStyle::link(QStringLiteral("Open Settings"), this);
    connect(settings, &QPushButton::clicked, this, [this] { invokeIfSet(m_onOpenSettings); });
    column->addWidget(settings, 0, Qt::AlignLeft);
    column->addStretch(1);
}

void UsagePage::render(const HotkeyShortcut& shortcut, KeyCharacters& layout,
                       std::function<void()> onOpenSettings)
{
    m_keys->setShortcut(shortcut, layout);
    m_onOpenSettings = std::move(onOpenSettings);
}
