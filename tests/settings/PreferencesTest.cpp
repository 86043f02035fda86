// SPDX-License-Identifier: MIT
#include "settings/Preferences.h"

#include "core/BuildConfig.h"
#include "settings/UserDefaults.h"
#include "support/TestEnvironment.h"

#include <QJsonArray>
#include <QUuid>
#include <functional>
#include <gtest/gtest.h>

namespace {

class PreferencesTest : public ::testing::Test {
protected:
    void storeFile(const QByteArray& json) { writeRawFile(home.defaultsPath(), json); }
    QJsonValue stored(const char* key) const
    {
        return readJsonFile(home.defaultsPath()).value(QLatin1String(key));
    }

    ScopedConfigHome home;
    Preferences preferences{UserDefaults::standard()};
    ScopedFakeClock clock; // 15 March 2026
};

TEST_F(PreferencesTest, SettingTheShortcutWritesBothIntegersAndLeavesThePresetAlone)
{
    storeFile(R"({"hotkeyPresetID": "opt-cmd-g"})");
    preferences.setHotkeyShortcut({49, 0x1800});

    EXPECT_EQ(stored("hotkeyKeyCode"), QJsonValue(49));
    EXPECT_EQ(stored("hotkeyModifiers"), QJsonValue(0x1800));
    EXPECT_EQ(stored("hotkeyPresetID"), QJsonValue("opt-cmd-g"));
    EXPECT_EQ(preferences.hotkeyShortcut(), (HotkeyShortcut{49, 0x1800}));

    preferences.setHotkeyShortcut({4294967295u, 4294967295u});
    EXPECT_EQ(preferences.hotkeyShortcut(), (HotkeyShortcut{4294967295u, 4294967295u}));
}

TEST_F(PreferencesTest, EnabledActionsAreStoredInTheirFixedOrder)
{
    using enum PopoverAction;
    preferences.setEnabledActions({improvePrompt, translate});
    EXPECT_EQ(stored("enabledActions"), QJsonValue(QJsonArray{"translate", "improvePrompt"}));
    EXPECT_EQ(preferences.enabledActions(), (std::set<PopoverAction>{translate, improvePrompt}));

    preferences.setEnabledActions({});
    EXPECT_EQ(stored("enabledActions"), QJsonValue(QJsonArray{}));
    EXPECT_EQ(preferences.activeActions(), (QList{translate, fixGrammar, improvePrompt}));
}

const auto layout = [](const Preferences& p) { return rawValue(p.popoverLayout()); };
const auto width = [](const Preferences& p) { return rawValue(p.panelWidth()); };
const auto height = [](const Preferences& p) { return rawValue(p.inputHeight()); };
const auto textSize = [](const Preferences& p) { return rawValue(p.inputTextSize()); };
const auto doubleTap = [](const Preferences& p) { return rawValue(p.doubleTapModifier()); };
const auto languageID = [](const Preferences& p) { return p.targetLanguageID(); };
const auto model = [](const Preferences& p) { return p.model(); };
const auto baseURL = [](const Preferences& p) { return p.openAIBaseURL(); };
const auto shortcut = [](const Preferences& preferences) {
    const HotkeyShortcut value = preferences.hotkeyShortcut();
    return QStringLiteral("%1/0x%2").arg(value.keyCode).arg(value.carbonModifiers, 0, 16);
};
const auto actions = [](const Preferences& preferences) {
    QStringList names;
    for (PopoverAction action : preferences.activeActions())
        names.append(rawValue(action));
    return names.join(u',');
};

// A stored file and what one getter resolves it to (a raw value, or "keyCode/0xmodifiers").
TEST_F(PreferencesTest, StoredValuesResolveOrFallBack)
{
    const QString optionCommandT = "17/0x900", all = "translate,fixGrammar,improvePrompt";
    const QString buildDefault = QString::fromUtf8(BuildConfig::openAIBaseURL);
    const struct {
        QByteArray json;
        QString (*read)(const Preferences&);
        QString expected;
    } rows[] = {
        {"{}", shortcut, optionCommandT},
        {R"({"hotkeyPresetID": "ctrl-opt-space"})", shortcut, "49/0x1800"}, // legacy preset
        {R"({"hotkeyPresetID": "opt-cmd-g"})", shortcut, "5/0x900"},
        {R"({"hotkeyPresetID": "ctrl-opt-t"})", shortcut, "17/0x1800"},
        {R"({"hotkeyPresetID": "nonsense"})", shortcut, optionCommandT},
        {R"({"hotkeyPresetID": "Opt-Cmd-G"})", shortcut, optionCommandT}, // exact identifiers only
        {R"({"hotkeyPresetID": "opt-cmd-g "})", shortcut, optionCommandT},
        {R"({"hotkeyPresetID": "cmd-opt-g"})", shortcut, optionCommandT},
        {R"({"hotkeyPresetID": 5})", shortcut, optionCommandT},
        {R"({"hotkeyKeyCode": 5})", shortcut, "5/0x0"},
        {R"({"hotkeyKeyCode": 5, "hotkeyPresetID": "ctrl-opt-space"})", shortcut, "5/0x0"},
        {R"({"hotkeyKeyCode": 49, "hotkeyModifiers": 4608})", shortcut, "49/0x1200"},
        {R"({"hotkeyKeyCode": 4294967296, "hotkeyModifiers": 0})", shortcut, optionCommandT},
        {R"({"hotkeyKeyCode": -1})", shortcut, optionCommandT},
        {R"({"hotkeyKeyCode": 17, "hotkeyModifiers": -256})", shortcut, optionCommandT},
        {R"({"hotkeyKeyCode": "17", "hotkeyModifiers": 2304})", shortcut, optionCommandT},
        {R"({"hotkeyKeyCode": 17.5})", shortcut, optionCommandT},
        {R"({"hotkeyKeyCode": null, "hotkeyPresetID": "opt-cmd-g"})", shortcut, "5/0x900"},
        {"{}", actions, all},
        // clang-format off
        {R"({"enabledActions": ["improvePrompt", "summarise", "translate"]})", actions, "translate,improvePrompt"}, // the stored order is ignored
        // clang-format on
        {R"({"enabledActions": ["fixGrammar", "fixGrammar"]})", actions, "fixGrammar"},
        {R"({"enabledActions": ["summarise", "Translate"]})", actions, all},
        {R"({"enabledActions": []})", actions, all},
        {R"({"enabledActions": ["fixGrammar", 3]})", actions, all},
        {R"({"enabledActions": "fixGrammar"})", actions, all},
        {R"({"popoverLayout": "list"})", layout, "list"},
        {R"({"popoverLayout": "grid"})", layout, "chips"},
        {R"({"panelWidth": "wide"})", width, "wide"},
        {R"({"panelWidth": "Wide"})", width, "standard"},
        {R"({"panelWidth": "wide "})", width, "standard"},
        {R"({"inputHeight": "compact"})", height, "compact"},
        {R"({"inputHeight": 1})", height, "standard"},
        {R"({"inputTextSize": "small"})", textSize, "small"},
        {R"({"inputTextSize": ["small"]})", textSize, "standard"},
        {R"({"doubleTapModifier": "shift"})", doubleTap, "shift"},
        {R"({"doubleTapModifier": "Option"})", doubleTap, "off"},
        {R"({"doubleTapModifier": true})", doubleTap, "off"},
        {R"({"targetLanguageID": "xx"})", languageID, "xx"}, // kept, though English is used
        {R"({"targetLanguageID": 7})", languageID, "en"},
        {R"({"openAIModel": ""})", model, ""},
        {R"({"openAIModel": ["gpt-4o"]})", model, "gpt-4o-mini"},
        {"{}", baseURL, buildDefault},
        {R"({"openAIBaseURL": ""})", baseURL, buildDefault},
        {R"({"openAIBaseURL": "http://127.0.0.1:8080"})", baseURL, "http://127.0.0.1:8080"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.json.toStdString());
        storeFile(row.json);
        EXPECT_EQ(row.read(preferences), row.expected);
    }
}

TEST_F(PreferencesTest, UsageOfAnEarlierMonthReadsAsZeroAndRestartsAtTheNextAddition)
{
    preferences.addUsage(clock.clock, 10, 5);
    preferences.addUsage(clock.clock, 1, 2);
    EXPECT_EQ(preferences.monthlyUsage(clock.clock), (Preferences::Usage{11, 7}));
    EXPECT_EQ(stored("usageMonth"), QJsonValue("2026-3"));

    clock.clock.setWallNow(QDateTime(QDate(2026, 4, 1), QTime(0, 0)));
    EXPECT_EQ(preferences.monthlyUsage(clock.clock), (Preferences::Usage{0, 0}));
    EXPECT_EQ(stored("usagePromptTokens"), QJsonValue(11))
        << "reading must not reset the stored totals";

    preferences.addUsage(clock.clock, 4, 1);
    EXPECT_EQ(preferences.monthlyUsage(clock.clock), (Preferences::Usage{4, 1}));
    EXPECT_EQ(stored("usageMonth"), QJsonValue("2026-4"));
}

TEST_F(PreferencesTest, UnreadableTotalsCountAsZeroAndHugeOnesStopAtTheLimit)
{
    storeFile(R"({"usageMonth": "2026-3", "usagePromptTokens": "many",
                  "usageCompletionTokens": 9223372036854775800})");
    EXPECT_EQ(preferences.monthlyUsage(clock.clock), (Preferences::Usage{0, 9223372036854775800}));
    preferences.addUsage(clock.clock, 3, 100);
    EXPECT_EQ(preferences.monthlyUsage(clock.clock),
              (Preferences::Usage{3, std::numeric_limits<int64_t>::max()}));
}

TEST_F(PreferencesTest, FlagsAndStringsReadOnlyTheirOwnType)
{
    storeFile(R"({"autoReplace": true, "forceClipboardCapture": "true", "useOwnAPIKey": 1,
                  "autoAction": "fixGrammar", "proxySelfTest": false})");
    EXPECT_TRUE(preferences.flag(DefaultsKey::autoReplace));
    EXPECT_FALSE(preferences.flag(DefaultsKey::forceClipboardCapture));
    EXPECT_FALSE(preferences.useOwnAPIKey());
    EXPECT_EQ(preferences.string(DefaultsKey::autoAction), QStringLiteral("fixGrammar"));
    EXPECT_EQ(preferences.string(DefaultsKey::proxySelfTest), std::nullopt);

    preferences.setFlag(DefaultsKey::hasSeenOnboarding, true);
    EXPECT_EQ(stored("hasSeenOnboarding"), QJsonValue(true));
    EXPECT_EQ(stored("autoAction"), QJsonValue("fixGrammar"));
}

TEST_F(PreferencesTest, TheServiceIsTheExplicitChoiceOrWhatTheOlderKeysMeant)
{
    const QString builtRelay = QString::fromUtf8(BuildConfig::proxyBaseURL);
    const QString openAI = QString::fromUtf8(BuildConfig::openAIBaseURL);
    const AIServiceChoice nothingChosen =
        builtRelay.isEmpty() ? AIServiceChoice{} : AIServiceChoice{AIService::relay, builtRelay};
    const QString local = QStringLiteral("http://127.0.0.1:11434");
    const struct {
        const char* name;
        QByteArray json;
        AIServiceChoice expected;
    } rows[] = {
        // clang-format off
        {"nothing", "{}", nothingChosen},
        {"unknown name", R"({"aiService": "OpenAI"})", nothingChosen},
        {"old relay address", R"({"proxyBaseURL": "http://relay.lan"})", {AIService::relay, "http://relay.lan"}},
        {"relay chosen with an empty address", R"({"aiService": "relay", "proxyBaseURL": ""})", {}},
        {"old switch", R"({"useOwnAPIKey": true})", {AIService::openAI, openAI}},
        {"old switch and own server", R"({"useOwnAPIKey": true, "openAIBaseURL": "http://127.0.0.1:11434"})", {AIService::compatible, local}},
        {"old switch off", R"({"useOwnAPIKey": false, "proxyBaseURL": "http://relay.lan"})", {AIService::relay, "http://relay.lan"}},
        {"choice wins over the old switch", R"({"aiService": "relay", "useOwnAPIKey": true, "proxyBaseURL": "http://relay.lan"})", {AIService::relay, "http://relay.lan"}},
        {"openai", R"({"aiService": "openai"})", {AIService::openAI, openAI}},
        {"compatible", R"({"aiService": "compatible", "openAIBaseURL": "http://127.0.0.1:11434"})", {AIService::compatible, local}},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        storeFile(row.json);
        EXPECT_EQ(preferences.aiService(), row.expected);
    }
    preferences.setAIService(AIService::compatible);
    EXPECT_EQ(stored("aiService"), QJsonValue("compatible"));
}

TEST_F(PreferencesTest, TheDeviceIDIsCreatedOnceAndKept)
{
    const QString id = preferences.deviceID();
    EXPECT_FALSE(QUuid::fromString(id).isNull()) << id.toStdString();
    EXPECT_FALSE(id.contains(QLatin1Char('{')));
    EXPECT_EQ(stored("deviceID"), QJsonValue(id));
    EXPECT_EQ(preferences.deviceID(), id);

    storeFile(R"({"deviceID": "set-by-hand"})");
    EXPECT_EQ(preferences.deviceID(), QStringLiteral("set-by-hand"));

    storeFile(R"({"deviceID": ""})");
    const QString replaced = preferences.deviceID();
    EXPECT_FALSE(QUuid::fromString(replaced).isNull());
    EXPECT_NE(replaced, id);
}

} // namespace
