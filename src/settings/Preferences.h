// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "core/DoubleTapModifier.h"
#include "core/HotkeyShortcut.h"
#include "core/Language.h"
#include "core/Style.h"
#include "settings/PopoverEnums.h"
#include "settings/UserDefaults.h"

#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <set>

// The keys of the user-defaults domain.
namespace DefaultsKey {
inline constexpr const char* hotkeyKeyCode = "hotkeyKeyCode";
inline constexpr const char* hotkeyModifiers = "hotkeyModifiers";
inline constexpr const char* hotkeyPresetID = "hotkeyPresetID";
inline constexpr const char* doubleTapModifier = "doubleTapModifier";
inline constexpr const char* targetLanguageID = "targetLanguageID";
inline constexpr const char* openAIModel = "openAIModel";
inline constexpr const char* useOwnAPIKey = "useOwnAPIKey";
inline constexpr const char* enabledActions = "enabledActions";
inline constexpr const char* popoverLayout = "popoverLayout";
inline constexpr const char* inputHeight = "inputHeight";
inline constexpr const char* inputTextSize = "inputTextSize";
inline constexpr const char* panelWidth = "panelWidth";
inline constexpr const char* usageMonth = "usageMonth";
inline constexpr const char* usagePromptTokens = "usagePromptTokens";
inline constexpr const char* usageCompletionTokens = "usageCompletionTokens";
inline constexpr const char* hasSeenOnboarding = "hasSeenOnboarding";
inline constexpr const char* legacyKeyMigrationAttempted = "legacyKeyMigrationAttempted";
inline constexpr const char* forceClipboardCapture = "forceClipboardCapture";
inline constexpr const char* autoReplace = "autoReplace";
inline constexpr const char* forcePasteReplace = "forcePasteReplace";
inline constexpr const char* proxyBaseURL = "proxyBaseURL";
inline constexpr const char* siteBaseURL = "siteBaseURL";
inline constexpr const char* autoAction = "autoAction";
inline constexpr const char* proxySelfTest = "proxySelfTest";
inline constexpr const char* hotkeySelfTest = "hotkeySelfTest";
inline constexpr const char* openAIBaseURL = "openAIBaseURL";
inline constexpr const char* deviceID = "deviceID";
inline constexpr const char* proxyToken = "proxyToken";
inline constexpr const char* terminalWindowClasses = "terminalWindowClasses";
inline constexpr const char* lastStyleID = "lastStyleID";
inline constexpr const char* aiService = "aiService";
} // namespace DefaultsKey

// Where the text of an action goes: Quillmark's relay service, OpenAI with the user's key,
// or another server that speaks OpenAI's chat-completions API.
enum class AIService { relay, openAI, compatible };

constexpr std::array<AIService, 3> allCases(CasesOf<AIService>)
{
    return {AIService::relay, AIService::openAI, AIService::compatible};
}

// "relay", "openai", "compatible"
QString rawValue(AIService service);

// The service in use and its base address; no service when nothing usable is configured
// (the build has no relay address and the user chose nothing, or the chosen relay has no
// address).
struct AIServiceChoice {
    std::optional<AIService> service;
    QString address;
    bool operator==(const AIServiceChoice&) const = default;
};

// The typed façade over a user-defaults domain. Every getter reads the store anew and
// falls back silently to its default when a value is absent, of the wrong type or names
// no case. Main thread only (the store itself is safe against other processes).
class Preferences {
public:
    explicit Preferences(UserDefaults defaults);

    // The store read, for other readers of the same domain (the update configuration).
    const UserDefaults& defaults() const { return m_defaults; }

    HotkeyShortcut hotkeyShortcut() const;
    void setHotkeyShortcut(const HotkeyShortcut& shortcut);

    DoubleTapModifier doubleTapModifier() const;
    void setDoubleTapModifier(DoubleTapModifier modifier);

    QString targetLanguageID() const;
    void setTargetLanguageID(const QString& id);
    Language targetLanguage() const;

    // The tone last chosen from the tone menu; a store that cannot be written costs only
    // this memory, so a failure is not reported.
    void rememberStyle(Style style);

    QString model() const;
    void setModel(const QString& model);

    bool useOwnAPIKey() const;

    // "aiService" when it names a service; otherwise what the older keys meant: useOwnAPIKey
    // chooses OpenAI (or, with an openAIBaseURL other than OpenAI's own, a compatible server),
    // and otherwise the relay when there is an address for it.
    AIServiceChoice aiService() const;
    void setAIService(AIService service);
    // Chooses the service with its address: the relay's goes to "proxyBaseURL" (empty: the
    // build's address applies) and a compatible server's to "openAIBaseURL"; OpenAI has its one
    // address, so "openAIBaseURL" is removed and `address` ignored.
    void setAIService(AIService service, const QString& address);
    // "proxyBaseURL" when set, otherwise the build's relay address (empty in a default build).
    QString relayBaseURL() const;

    std::set<PopoverAction> enabledActions() const;
    void setEnabledActions(const std::set<PopoverAction>& actions);
    // The enabled actions in their fixed order: translate, fixGrammar, improvePrompt.
    QList<PopoverAction> activeActions() const;

    PopoverLayout popoverLayout() const;
    void setPopoverLayout(PopoverLayout layout);
    InputHeight inputHeight() const;
    void setInputHeight(InputHeight height);
    InputTextSize inputTextSize() const;
    void setInputTextSize(InputTextSize size);
    PanelWidth panelWidth() const;
    void setPanelWidth(PanelWidth width);

    struct Usage {
        int64_t promptTokens = 0;
        int64_t completionTokens = 0;
        bool operator==(const Usage&) const = default;
    };
    // Adds one completion's tokens to this month's totals, starting afresh in a new month.
    void addUsage(Clock& clock, int64_t promptTokens, int64_t completionTokens);
    // This month's totals; (0, 0) when the stored month is another one.
    Usage monthlyUsage(Clock& clock) const;
    // "2026-3", "2026-12": year and month of the clock's current date, without padding.
    static QString currentMonthKey(Clock& clock);

    // A boolean key read directly (hasSeenOnboarding, autoReplace, …); false when absent.
    bool flag(const char* key) const;
    void setFlag(const char* key, bool value);
    // A string key read directly (autoAction, proxySelfTest, …); nothing when absent.
    std::optional<QString> string(const char* key) const;
    void setString(const char* key, const QString& value);
    // Removes a key, so that its default applies again.
    void remove(const char* key);

    // Base address of the OpenAI-compatible API: "openAIBaseURL" when set and not empty,
    // otherwise the build's default.
    QString openAIBaseURL() const;
    // This installation's random identifier, created and stored under "deviceID" on first use.
    QString deviceID();

private:
    UserDefaults m_defaults;
};
