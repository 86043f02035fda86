// SPDX-License-Identifier: MIT
#include "ui/settings/SettingsView.h"

#include "settings/Preferences.h"
#include "ui/settings/AIServiceSection.h"
#include "ui/settings/PopoverSection.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

SettingsView::SettingsView(HotkeySection::Owner owner, KeyCharacters& layout, Clock& clock,
                           SecretStore& secrets, Preferences& preferences, QWidget* parent)
    : QWidget(parent)
    , m_clock(clock)
    , m_preferences(preferences)
{
    setFixedSize(formSize);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    // The AI service section makes the form taller than the window; it scrolls.
    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(m_scroll);
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(18, 16, 18, 16);
    column->setSpacing(18);

    m_aiService = new AIServiceSection(clock, secrets, preferences);
    column->addWidget(m_aiService);
    m_hotkey = new HotkeySection(std::move(owner), layout, preferences);
    column->addWidget(m_hotkey);

    auto* translation = new FormSection(QStringLiteral("Translation"));
    m_language = new QComboBox;
    m_language->setAccessibleName(QStringLiteral("Default target"));
    for (const Language& language : Language::all())
        m_language->addItem(language.name, language.id);
    m_language->setCurrentIndex(m_language->findData(m_preferences.targetLanguageID()));
    connect(m_language, &QComboBox::activated, this, [this](int index) {
        m_preferences.setTargetLanguageID(m_language->itemData(index).toString());
    });
    translation->addRow(QStringLiteral("Default target"), m_language);
    column->addWidget(translation);

    m_popover = new PopoverSection(preferences);
    column->addWidget(m_popover);

    auto* usage = new FormSection(QStringLiteral("Usage"));
    m_usage = new QLabel;
    m_usage->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    usage->addRow(QStringLiteral("Tokens this month"), m_usage);
    usage->setFooter(
        QStringLiteral("Counted on this computer from the token report that comes back with "
                       "each action."));
    column->addWidget(usage);
    column->addStretch(1);
    m_scroll->setWidget(content);

    reload();
}

std::optional<QString> SettingsView::record(const HotkeyShortcut& shortcut)
{
    return m_hotkey->record(shortcut);
}

bool SettingsView::visibility(PopoverAction action) const
{
    return m_popover->visibility(action);
}

void SettingsView::setVisibility(PopoverAction action, bool visible)
{
    m_popover->setVisibility(action, visible);
}

void SettingsView::reload()
{
    m_aiService->reload();
    m_hotkey->reload();
    const Preferences::Usage usage = m_preferences.monthlyUsage(m_clock);
    m_usage->setText(usageText(usage.promptTokens, usage.completionTokens));
}

void SettingsView::revealAIService()
{
    // The section's top, with its title, not just some part of it.
    m_scroll->widget()->layout()->activate();
    m_scroll->verticalScrollBar()->setValue(m_aiService->y() -
                                            m_scroll->widget()->layout()->contentsMargins().top());
    m_aiService->servicePicker().setFocus(Qt::OtherFocusReason);
}

QString SettingsView::usageText(int64_t promptTokens, int64_t completionTokens)
{
    const QLocale locale;
    return locale.toString(qlonglong(promptTokens)) + QStringLiteral(" in · ") +
           locale.toString(qlonglong(completionTokens)) + QStringLiteral(" out");
}

QStringList SettingsView::visibleSectionTitles() const
{
    QStringList titles;
    for (const FormSection* section : findChildren<FormSection*>()) {
        if (!section->isHidden())
            titles.append(section->title());
    }
    return titles;
}

QString SettingsView::usage() const
{
    return m_usage->text();
}
