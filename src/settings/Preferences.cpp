// SPDX-License-Identifier: MIT
#include "settings/Preferences.h"

#include "core/BuildConfig.h"
#include "core/Log.h"
#include "settings/UserDefaults.h"

#include <QJsonArray>
#include <QUuid>
#include <limits>

namespace {

QString key(const char* name)
{
    return QString::fromLatin1(name);
}

void store(UserDefaults& domain, const char* name, const QJsonValue& value)
{
    if (!domain.set(key(name), value))
        Log::app().error(QStringLiteral("could not save %1 to %2").arg(key(name), domain.path()));
}

template <class E> E storedCase(const UserDefaults& domain, const char* name, E fallback)
{
    const std::optional<QString> raw = domain.string(key(name));
    if (!raw)
        return fallback;
    return fromRawValue<E>(*raw).value_or(fallback);
}

template <class E> void storeCase(UserDefaults& domain, const char* name, E value)
{
    store(domain, name, rawValue(value));
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

Preferences::Preferences(UserDefaults defaults)
    : m_defaults(std::move(defaults))
{}

HotkeyShortcut Preferences::hotkeyShortcut() const
{
    const QJsonObject domain = m_defaults.dictionary();
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

void Preferences::setHotkeyShortcut(const HotkeyShortcut& shortcut)
{
    const bool saved = m_defaults.update([&](QJsonObject& values) {
        values.insert(key(DefaultsKey::hotkeyKeyCode), qint64(shortcut.keyCode));
        values.insert(key(DefaultsKey::hotkeyModifiers), qint64(shortcut.carbonModifiers));
    });
    if (!saved)
        Log::app().error(QStringLiteral("could not save %1 to %2")
                             .arg(key(DefaultsKey::hotkeyKeyCode), m_defaults.path()));
}

DoubleTapModifier Preferences::doubleTapModifier() const
{
    return storedCase(m_defaults, DefaultsKey::doubleTapModifier, DoubleTapModifier::off);
}

void Preferences::setDoubleTapModifier(DoubleTapModifier modifier)
{
    storeCase(m_defaults, DefaultsKey::doubleTapModifier, modifier);
}

QString Preferences::targetLanguageID() const
{
    return m_defaults.string(key(DefaultsKey::targetLanguageID)).value_or(Language::english().id);
}

void Preferences::setTargetLanguageID(const QString& id)
{
    store(m_defaults, DefaultsKey::targetLanguageID, id);
}

void Preferences::rememberStyle(Style style)
{
    (void)m_defaults.set(key(DefaultsKey::lastStyleID), rawValue(style));
}

Language Preferences::targetLanguage() const
{
    return Language::withID(targetLanguageID()).value_or(Language::english());
}

QString Preferences::model() const
{
    return m_defaults.string(key(DefaultsKey::openAIModel)).value_or(defaultModel);
}

void Preferences::setModel(const QString& model)
{
    store(m_defaults, DefaultsKey::openAIModel, model);
}

bool Preferences::useOwnAPIKey() const
{
    return flag(DefaultsKey::useOwnAPIKey);
}

AIServiceChoice Preferences::aiService() const
{
    const std::optional<QString> raw = m_defaults.string(key(DefaultsKey::aiService));
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

void Preferences::setAIService(AIService service)
{
    storeCase(m_defaults, DefaultsKey::aiService, service);
}

void Preferences::setAIService(AIService service, const QString& address)
{
    setAIService(service);
    const char* addressKey =
        service == AIService::relay ? DefaultsKey::proxyBaseURL : DefaultsKey::openAIBaseURL;
    if (service == AIService::openAI || (service == AIService::relay && address.isEmpty()))
        remove(addressKey);
    else
        setString(addressKey, address);
}

QString Preferences::relayBaseURL() const
{
    return m_defaults.string(key(DefaultsKey::proxyBaseURL))
        .value_or(QString::fromUtf8(BuildConfig::proxyBaseURL));
}

std::set<PopoverAction> Preferences::enabledActions() const
{
    constexpr auto cases = allCases(CasesOf<PopoverAction>{});
    const std::set<PopoverAction> all(cases.begin(), cases.end());
    const std::optional<QStringList> stored =
        m_defaults.stringArray(key(DefaultsKey::enabledActions));
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

void Preferences::setEnabledActions(const std::set<PopoverAction>& actions)
{
    QJsonArray raw;
    for (PopoverAction action : allCases(CasesOf<PopoverAction>{})) {
        if (actions.contains(action))
            raw.append(rawValue(action));
    }
    store(m_defaults, DefaultsKey::enabledActions, raw);
}

QList<PopoverAction> Preferences::activeActions() const
{
    const std::set<PopoverAction> enabled = enabledActions();
    QList<PopoverAction> active;
    for (PopoverAction action : allCases(CasesOf<PopoverAction>{})) {
        if (enabled.contains(action))
            active.append(action);
    }
    return active;
}

PopoverLayout Preferences::popoverLayout() const
{
    return storedCase(m_defaults, DefaultsKey::popoverLayout, PopoverLayout::chips);
}

void Preferences::setPopoverLayout(PopoverLayout layout)
{
    storeCase(m_defaults, DefaultsKey::popoverLayout, layout);
}

InputHeight Preferences::inputHeight() const
{
    return storedCase(m_defaults, DefaultsKey::inputHeight, InputHeight::standard);
}

void Preferences::setInputHeight(InputHeight height)
{
    storeCase(m_defaults, DefaultsKey::inputHeight, height);
}

InputTextSize Preferences::inputTextSize() const
{
    return storedCase(m_defaults, DefaultsKey::inputTextSize, InputTextSize::standard);
}

void Preferences::setInputTextSize(InputTextSize size)
{
    storeCase(m_defaults, DefaultsKey::inputTextSize, size);
}

PanelWidth Preferences::panelWidth() const
{
    return storedCase(m_defaults, DefaultsKey::panelWidth, PanelWidth::standard);
}

void Preferences::setPanelWidth(PanelWidth width)
{
    storeCase(m_defaults, DefaultsKey::panelWidth, width);
}

void Preferences::addUsage(Clock& clock, int64_t promptTokens, int64_t completionTokens)
{
    const QString month = currentMonthKey(clock);
    const QString monthKey = key(DefaultsKey::usageMonth);
    const QString promptKey = key(DefaultsKey::usagePromptTokens);
    const QString completionKey = key(DefaultsKey::usageCompletionTokens);

    // One locked read-modify-write, so a count added by another process is not lost.
    const bool saved = m_defaults.update([&](QJsonObject& values) {
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
        Log::app().error(
            QStringLiteral("could not save %1 to %2").arg(promptKey, m_defaults.path()));
}

Preferences::Usage Preferences::monthlyUsage(Clock& clock) const
{
    const QJsonObject values = m_defaults.dictionary();
    const QJsonValue storedMonth = values.value(key(DefaultsKey::usageMonth));
    if (!storedMonth.isString() || storedMonth.toString() != currentMonthKey(clock))
        return {};
    return {
        UserDefaults::integerValue(values.value(key(DefaultsKey::usagePromptTokens))).value_or(0),
        UserDefaults::integerValue(values.value(key(DefaultsKey::usageCompletionTokens)))
            .value_or(0),
    };
}

QString Preferences::currentMonthKey(Clock& clock)
{
    // An invalid date answers 0 for its year and month.
    const QDate today = clock.wallNow().date();
    return QStringLiteral("%1-%2").arg(QString::number(today.year()),
                                       QString::number(today.month()));
}

bool Preferences::flag(const char* name) const
{
    return m_defaults.boolean(key(name)).value_or(false);
}

void Preferences::setFlag(const char* name, bool value)
{
    store(m_defaults, name, value);
}

std::optional<QString> Preferences::string(const char* name) const
{
    return m_defaults.string(key(name));
}

void Preferences::setString(const char* name, const QString& value)
{
    store(m_defaults, name, value);
}

void Preferences::remove(const char* name)
{
    if (m_defaults.dictionary().contains(key(name)) && !m_defaults.remove(key(name)))
        Log::app().error(
            QStringLiteral("could not save %1 to %2").arg(key(name), m_defaults.path()));
}

QString Preferences::openAIBaseURL() const
{
    const std::optional<QString> stored = m_defaults.string(key(DefaultsKey::openAIBaseURL));
    if (stored && !stored->isEmpty())
        return *stored;
    return QString::fromUtf8(BuildConfig::openAIBaseURL);
}

QString Preferences::deviceID()
{
    const QString name = key(DefaultsKey::deviceID);
    if (const std::optional<QString> stored = m_defaults.string(name); stored && !stored->isEmpty())
        return *stored;

    // Created under the lock, so two processes starting together agree on one identifier.
    QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const bool saved = m_defaults.update([&](QJsonObject& values) {
        const QJsonValue existing = values.value(name);
        if (existing.isString() && !existing.toString().isEmpty())
            id = existing.toString();
        else
            values.insert(name, id);
    });
    if (!saved)
        Log::app().error(QStringLiteral("could not save %1 to %2").arg(name, m_defaults.path()));
    return id;
}

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
