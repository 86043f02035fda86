// SPDX-License-Identifier: MIT
#include "onboarding/guide/UsagePage.h"

#include "core/Callback.h"
#include "onboarding/guide/GuideStyle.h"
#include "onboarding/guide/KeyCaps.h"
#include "settings/PopoverEnums.h"
#include "ui/settings/FormLabels.h"

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
    , m_column(new QVBoxLayout(this))
    , m_readyIcon(new QLabel(this))
    , m_service(GuideStyle::body(QString(), this))
    , m_connect(GuideStyle::link(QStringLiteral("Connect an AI"), this))
{
    QBoxLayout* column = m_column;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(14);
    column->addWidget(GuideStyle::title(QStringLiteral("Try it on anything."), this));
    auto* serviceRow = new QHBoxLayout;
    serviceRow->setSpacing(8);
    m_readyIcon->setPixmap(GuideStyle::symbol(QStringLiteral("checkmark.circle.fill"), 16,
                                              FormLabels::green(*this), *this));
    serviceRow->addWidget(m_readyIcon);
    QFont strong = m_service->font();
    strong.setBold(true);
    m_service->setFont(strong);
    serviceRow->addWidget(m_service, 1);
    connect(m_connect, &QPushButton::clicked, this, [this] { invokeIfSet(m_onConnect); });
    serviceRow->addWidget(m_connect);
    column->addLayout(serviceRow);
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
    if (m_offer)
        m_offer->render(shortcut, layout);
    m_onOpenSettings = std::move(onOpenSettings);
}

void UsagePage::setDesktopShortcut(DesktopShortcut desktop)
{
    delete m_offer;
    m_offer = new DesktopShortcutOffer(std::move(desktop), this);
    // Under the line that shows the keys.
    m_column->insertWidget(3, m_offer);
}

void UsagePage::renderService(const std::optional<QString>& missing,
                              std::function<void()> onConnect)
{
    m_service->setText(missing.value_or(QStringLiteral("You're all set.")));
    FormLabels::setColor(*m_service,
                         missing ? FormLabels::red(*this) : palette().color(QPalette::WindowText));
    m_readyIcon->setVisible(!missing);
    m_connect->setVisible(missing.has_value());
    m_onConnect = std::move(onConnect);
}

QString UsagePage::serviceText() const
{
    return m_service->text();
}
