// SPDX-License-Identifier: MIT
#pragma once

#include "settings/PopoverEnums.h"
#include "ui/settings/HotkeySection.h"

#include <QWidget>

class AIServiceSection;
class Clock;
class SecretStore;
class PopoverSection;
class Preferences;
class QComboBox;
class QLabel;
class QScrollArea;

// The settings form: the AI service, the hotkey and double tap, the translation target, what the
// panel shows and this month's token usage. Every control writes its preference as soon as it
// changes; only the key has a Save button.
class SettingsView : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize formSize{400, 700};

    // The layout, the clock, the key store and the preferences are borrowed and must outlive
    // the view.
    SettingsView(HotkeySection::Owner owner, KeyCharacters& layout, Clock& clock,
                 SecretStore& secrets, Preferences& preferences, QWidget* parent = nullptr);

    // The recorder's verdict on a combination (see HotkeySection::record).
    std::optional<QString> record(const HotkeyShortcut& shortcut);
    bool visibility(PopoverAction action) const;
    void setVisibility(PopoverAction action, bool visible);

    // Runs before every showing: the shortcut, the double-tap modifier and the usage are
    // read again, and the AI service section shows the service chosen now.
    void reload();
    // Scrolls the "AI service" section into view and puts the keyboard on its service picker.
    void revealAIService();

    // "1,234 in · 56 out" in the locale's digit grouping.
    static QString usageText(int64_t promptTokens, int64_t completionTokens);

    // The section titles in order.
    QStringList visibleSectionTitles() const;
    AIServiceSection& aiService() const { return *m_aiService; }
    HotkeySection& hotkey() const { return *m_hotkey; }
    PopoverSection& popover() const { return *m_popover; }
    QComboBox& languagePicker() const { return *m_language; }
    QString usage() const;

private:
    QScrollArea* m_scroll;
    Clock& m_clock;
    Preferences& m_preferences;
    AIServiceSection* m_aiService;
    HotkeySection* m_hotkey;
    QComboBox* m_language;
    PopoverSection* m_popover;
    QLabel* m_usage;
};
