// SPDX-License-Identifier: MIT
#include "ui/settings/PopoverSection.h"

#include "settings/Preferences.h"

#include <QCheckBox>
#include <QComboBox>

namespace {

// A picker over every case of E, titled as the settings show them; choosing one calls
// `store` on the preferences with it.
template <class E>
QComboBox* picker(const QString& name, Preferences& preferences, void (Preferences::*store)(E))
{
    auto* box = new QComboBox;
    box->setAccessibleName(name);
    for (const E value : allCases(CasesOf<E>{}))
        box->addItem(::title(value), rawValue(value));
    QObject::connect(box, &QComboBox::activated, box, [&preferences, store](int index) {
        (preferences.*store)(allCases(CasesOf<E>{}).at(size_t(index)));
    });
    return box;
}

template <class E> void select(QComboBox& box, E value)
{
    box.setCurrentIndex(box.findData(rawValue(value)));
}

} // namespace

PopoverSection::PopoverSection(Preferences& preferences, QWidget* parent)
    : FormSection(QStringLiteral("Panel"), parent)
    , m_preferences(preferences)
{
    for (const PopoverAction action : allCases(CasesOf<PopoverAction>{})) {
        auto* toggle = new QCheckBox(::title(action));
        connect(toggle, &QCheckBox::toggled, this,
                [this, action](bool checked) { setVisibility(action, checked); });
        m_toggles[action] = toggle;
        addWidget(toggle);
    }
    m_layout = picker<PopoverLayout>(QStringLiteral("Layout"), m_preferences,
                                     &Preferences::setPopoverLayout);
    addRow(QStringLiteral("Layout"), m_layout);
    m_inputHeight = picker<InputHeight>(QStringLiteral("Input height"), m_preferences,
                                        &Preferences::setInputHeight);
    addRow(QStringLiteral("Input height"), m_inputHeight);
    m_textSize = picker<InputTextSize>(QStringLiteral("Text size"), m_preferences,
                                       &Preferences::setInputTextSize);
    addRow(QStringLiteral("Text size"), m_textSize);
    m_panelWidth = picker<PanelWidth>(QStringLiteral("Panel width"), m_preferences,
                                      &Preferences::setPanelWidth);
    addRow(QStringLiteral("Panel width"), m_panelWidth);
    setFooter(QStringLiteral("The Alt+number keys follow the visible actions in this order, so "
                             "Alt+1 is always the first one shown. Fix Grammar's tone menu "
                             "travels with it."));
    reload();
}

bool PopoverSection::visibility(PopoverAction action) const
{
    return m_enabledActions.contains(action);
}

void PopoverSection::setVisibility(PopoverAction action, bool visible)
{
    if (visibility(action) == visible)
        return;
    if (visible)
        m_enabledActions.insert(action);
    else
        m_enabledActions.erase(action);
    m_preferences.setEnabledActions(m_enabledActions);
    renderToggles();
}

void PopoverSection::reload()
{
    m_enabledActions = m_preferences.enabledActions();
    renderToggles();
    select(*m_layout, m_preferences.popoverLayout());
    select(*m_inputHeight, m_preferences.inputHeight());
    select(*m_textSize, m_preferences.inputTextSize());
    select(*m_panelWidth, m_preferences.panelWidth());
}

void PopoverSection::renderToggles()
{
    for (const auto& [action, toggle] : m_toggles) {
        const QSignalBlocker blocker(toggle);
        const bool visible = visibility(action);
        toggle->setChecked(visible);
        toggle->setEnabled(!(visible && m_enabledActions.size() == 1));
    }
}
