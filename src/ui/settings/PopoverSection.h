// SPDX-License-Identifier: MIT
#pragma once

#include "settings/PopoverEnums.h"
#include "ui/settings/FormSection.h"

#include <map>
#include <set>

class Preferences;
class QCheckBox;
class QComboBox;

// "Popover": which actions the panel shows, its layout and its sizes. Every change is
// written at once, so the next opening of the panel uses it.
class PopoverSection : public FormSection {
    Q_OBJECT

public:
    explicit PopoverSection(Preferences& preferences, QWidget* parent = nullptr);

    // Whether the action is shown; showing or hiding it stores the new set. The last
    // visible action cannot be hidden: its toggle is disabled.
    bool visibility(PopoverAction action) const;
    void setVisibility(PopoverAction action, bool visible);
    // Reads every value from the preferences again.
    void reload();

    const std::set<PopoverAction>& enabledActions() const { return m_enabledActions; }
    QCheckBox& toggle(PopoverAction action) const { return *m_toggles.at(action); }
    QComboBox& layoutPicker() const { return *m_layout; }
    QComboBox& inputHeightPicker() const { return *m_inputHeight; }
    QComboBox& textSizePicker() const { return *m_textSize; }
    QComboBox& panelWidthPicker() const { return *m_panelWidth; }

private:
    void renderToggles();

    Preferences& m_preferences;
    std::set<PopoverAction> m_enabledActions;
    std::map<PopoverAction, QCheckBox*> m_toggles;
    QComboBox* m_layout;
    QComboBox* m_inputHeight;
    QComboBox* m_textSize;
    QComboBox* m_panelWidth;
};
