// SPDX-License-Identifier: MIT
#include "settings/Preferences.h"

#include "core/BuildConfig.h"
#include "core/Log.h"
#include "settings/UserDefaults.h"

#include <QJsonArray>
#include <QUuid>
#include <limits>

namespace {

// The domain's location follows XDG_CONFIG_HOME, so it is looked up at each use rather
// than once: a command run with another configuration home sees that one.
UserDefaults defaults()
{
    return UserDefaults::standard();
}

QString key(const char* name)
{
    return QString::fromLatin1(name);
}

void store(const char* name, const QJsonValue& value)
{
    UserDefaults domain = defaults();
    if (!domain.set(key(name), value))
        Log::app().error(QStringLiteral("could not save %1 to %2").arg(key(name), domain.path()));
}

template <class E> E storedCase(const char* name, E fallback)
{
    const std::optional<QString> raw = defaults().string(key(name));
    if (!raw)
        return fallback;
    return fromRawValue<E>(*raw).value_or(fallback);
}

template <class E> void storeCase(const char* name, E value)
{
    store(name, rawValue(value));
}

std::optional<uint32_t> unsigned32(const QJsonValue& value)
{
    const std::optional<qint64> number = UserDefaults::integerValue(value);
    if (!number || *number < 0 || *number > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    return static_cast<uint32_t>(*number);
}

// Token totals come from the model's usage reports and cannot realistically overflow,
// but a total edited from outside could; it then stays at the largest value.
qint64 saturatingAdd(qint64 a, qint64 b)
{
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return sum;
}

const QString defaultModel = QStringLiteral("gpt-4o-mini");

} // namespace

namespace Preferences {

HotkeyShortcut hotkeyShortcut()
{
    const QJsonObject domain = defaults().dictionary();
    const QJsonValue keyCode = domain.value(key(DefaultsKey::hotkeyKeyCode));
    if (!keyCode.isUndefined() && !keyCode.isNull()) {
        // A key code without modifiers is a plain key; anything that is not an unsigned
        // 32-bit number was written from outside and cannot be registered, so it falls back.
        const QJsonValue modifiers = domain.value(key(DefaultsKey::hotkeyModifiers));
        const std::optional<uint32_t> code = unsigned32(keyCode);
        const std::optional<uint32_t> mask =
            modifiers.isUndefined() || modifiers.isNull() ? 0u : unsigned32(modifiers);
        if (!code || !mask)
            return HotkeyShortcut::defaultShortcut();
        return HotkeyShortcut{*code, *mask};
    }
    const QJsonValue preset = domain.value(key(DefaultsKey::hotkeyPresetID));
    if (preset.isString()) {
        if (const std::optional<HotkeyShortcut> legacy =
                HotkeyShortcut::legacyPreset(preset.toString()))
            return *legacy;
    }
    return HotkeyShortcut::defaultShortcut();
}

void setHotkeyShortcut(const HotkeyShortcut& shortcut)
{
    UserDefaults domain = defaults();
    const bool saved = domain.update([&](QJsonObject& values) {
        values.insert(key(DefaultsKey::hotkeyKeyCode), qint64(shortcut.keyCode));
        values.insert(key(DefaultsKey::hotkeyModifiers), qint64(shortcut.carbonModifiers));
    });
    if (!saved)
        Log::app().error(QStringLiteral("could not save %1 to %2")
                             .arg(key(DefaultsKey::hotkeyKeyCode), domain.path()));
}

DoubleTapModifier doubleTapModifier()
{
    return storedCase(DefaultsKey::doubleTapModifier, DoubleTapModifier::off);
}

void setDoubleTapModifier(DoubleTapModifier modifier)
{
    storeCase(DefaultsKey::doubleTapModifier, modifier);
}

QString targetLanguageID()
{
    return defaults().string(key(DefaultsKey::targetLanguageID)).value_or(Language::english().id);
}

void setTargetLanguageID(const QString& id)
{
    store(DefaultsKey::targetLanguageID, id);
}

Language targetLanguage()
{
    return Language::withID(targetLanguageID()).value_or(Language::english());
}

QString model()
{
    return defaults().string(key(DefaultsKey::openAIModel)).value_or(defaultModel);
}

void setModel(const QString& model)
{
    store(DefaultsKey::openAIModel, model);
}

bool useOwnAPIKey()
{
    return flag(DefaultsKey::useOwnAPIKey);
}

AIServiceChoice aiService()
{
    const std::optional<QString> raw = defaults().string(key(DefaultsKey::aiService));
    std::optional<AIService> service = raw ? fromRawValue<AIService>(*raw) : std::nullopt;
    if (!service && useOwnAPIKey()) {
        service = openAIBaseURL() == QString::fromUtf8(BuildConfig::openAIBaseURL)
                      ? AIService::openAI
                      : AIService::compatible;
    }
    if (!service)
        service = AIService::relay;
    if (*service != AIService::relay)
        return {service, openAIBaseURL()};
    const QString relay = relayBaseURL();
    if (relay.isEmpty())
        return {};
    return {service, relay};
}

void setAIService(AIService service)
{
    storeCase(DefaultsKey::aiService, service);
}

void setAIService(AIService service, const QString& address)
{
    setAIService(service);
    const char* addressKey =
        service == AIService::relay ? DefaultsKey::proxyBaseURL : DefaultsKey::openAIBaseURL;
    if (service == AIService::openAI || (service == AIService::relay && address.isEmpty()))
        remove(addressKey);
    else
        setString(addressKey, address);
}

QString relayBaseURL()
{
    return defaults()
        .string(key(DefaultsKey::proxyBaseURL))
        .value_or(QString::fromUtf8(BuildConfig::proxyBaseURL));
}

std::set<PopoverAction> enabledActions()
{
    constexpr auto cases = allCases(CasesOf<PopoverAction>{});
    const std::set<PopoverAction> all(cases.begin(), cases.end());
    const std::optional<QStringList> stored =
        defaults().stringArray(key(DefaultsKey::enabledActions));
    if (!stored)
        return all;
    std::set<PopoverAction> actions;
    for (const QString& raw : *stored) {
        if (const std::optional<PopoverAction> action = fromRawValue<PopoverAction>(raw))
            actions.insert(*action);
    }
    // The panel must always offer something to do.
    return actions.empty() ? all : actions;
}

void setEnabledActions(const std::set<PopoverAction>& actions)
{
    QJsonArray raw;
    for (PopoverAction action : allCases(CasesOf<PopoverAction>{})) {
        if (actions.contains(action))
            raw.append(rawValue(action));
    }
    store(DefaultsKey::enabledActions, raw);
}

QList<PopoverAction> activeActions()
{
    const std::set<PopoverAction> enabled = enabledActions();
    QList<PopoverAction> active;
    for (PopoverAction action : allCases(CasesOf<PopoverAction>{})) {
        if (enabled.contains(action))
            active.append(action);
    }
    return active;
}

PopoverLayout popoverLayout()
{
    return storedCase(DefaultsKey::popoverLayout, PopoverLayout::chips);
}

void setPopoverLayout(PopoverLayout layout)
{
    storeCase(DefaultsKey::popoverLayout, layout);
}

InputHeight inputHeight()
{
    return storedCase(DefaultsKey::inputHeight, InputHeight::standard);
}

void setInputHeight(InputHeight height)
{
    storeCase(DefaultsKey::inputHeight, height);
}

InputTextSize inputTextSize()
{
    return storedCase(DefaultsKey::inputTextSize, InputTextSize::standard);
}

void setInputTextSize(InputTextSize size)
{
    storeCase(DefaultsKey::inputTextSize, size);
}

PanelWidth panelWidth()
{
    return storedCase(DefaultsKey::panelWidth, PanelWidth::standard);
}

void setPanelWidth(PanelWidth width)
{
    storeCase(DefaultsKey::panelWidth, width);
}

void addUsage(Clock& clock, int64_t promptTokens, int64_t completionTokens)
{
    const QString month = currentMonthKey(clock);
    const QString monthKey = key(DefaultsKey::usageMonth);
    const QString promptKey = key(DefaultsKey::usagePromptTokens);
    const QString completionKey = key(DefaultsKey::usageCompletionTokens);

    // One locked read-modify-write, so a count added by another process is not lost.
    UserDefaults domain = defaults();
    const bool saved = domain.update([&](QJsonObject& values) {
        const QJsonValue storedMonth = values.value(monthKey);
        if (!storedMonth.isString() || storedMonth.toString() != month) {
            values.insert(monthKey, month);
            values.insert(promptKey, qint64(0));
            values.insert(completionKey, qint64(0));
        }
        const qint64 prompt = UserDefaults::integerValue(values.value(promptKey)).value_or(0);
        const qint64 completion =
            UserDefaults::integerValue(values.value(completionKey)).value_or(0);
        values.insert(promptKey, saturatingAdd(prompt, promptTokens));
        values.insert(completionKey, saturatingAdd(completion, completionTokens));
    });
    if (!saved)
        Log::app().error(QStringLiteral("could not save %1 to %2").arg(promptKey, domain.path()));
}

Usage monthlyUsage(Clock& clock)
{
    const UserDefaults domain = defaults();
    const QJsonObject values = domain.dictionary();
    const QJsonValue storedMonth = values.value(key(DefaultsKey::usageMonth));
    if (!storedMonth.isString() || storedMonth.toString() != currentMonthKey(clock))
        return {};
    return {
        UserDefaults::integerValue(values.value(key(DefaultsKey::usagePromptTokens))).value_or(0),
        UserDefaults::integerValue(values.value(key(DefaultsKey::usageCompletionTokens)))
            .value_or(0),
    };
}

QString currentMonthKey(Clock& clock)
{
    // An invalid date answers 0 for its year and month.
    const QDate today = clock.wallNow().date();
    return QStringLiteral("%1-%2").arg(QString::number(today.year()),
                                       QString::number(today.month()));
}

bool flag(const char* name)
{
    return defaults().boolean(key(name)).value_or(false);
}

void setFlag(const char* name, bool value)
{
    store(name, value);
}

std::optional<QString> string(const char* name)
{
    return defaults().string(key(name));
}

void setString(const char* name, const QString& value)
{
    store(name, value);
}

void remove(const char* name)
{
    UserDefaults domain = defaults();
    if (domain.dictionary().contains(key(name)) && !domain.remove(key(name)))
        Log::app().error(QStringLiteral("could not save %1 to %2").arg(key(name), domain.path()));
}

QString openAIBaseURL()
{
    const std::optional<QString> stored = defaults().string(key(DefaultsKey::openAIBaseURL));
    if (stored && !stored->isEmpty())
        return *stored;
    return QString::fromUtf8(BuildConfig::openAIBaseURL);
}

QString deviceID()
{
    const QString name = key(DefaultsKey::deviceID);
    if (const std::optional<QString> stored = defaults().string(name); stored && !stored->isEmpty())
        return *stored;

    // Created under the lock, so two processes starting together agree on one identifier.
    QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    UserDefaults domain = defaults();
    const bool saved = domain.update([&](QJsonObject& values) {
        const QJsonValue existing = values.value(name);
        if (existing.isString() && !existing.toString().isEmpty())
            id = existing.toString();
        else
            values.insert(name, id);
    });
    if (!saved)
        Log::app().error(QStringLiteral("could not save %1 to %2").arg(name, domain.path()));
    return id;
}

} // namespace Preferences

QString rawValue(AIService service)
{
    switch (service) {
    case AIService::relay:
        return QStringLiteral("relay");
    case AIService::openAI:
        return QStringLiteral("openai");
    case AIService::compatible:
        return QStringLiteral("compatible");
    }
    return {};
}
