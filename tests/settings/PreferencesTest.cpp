// SPDX-License-Identifier: MIT
#include "settings/Preferences.h"

#include "core/BuildConfig.h"
#include "settings/UserDefaults.h"
#include "support/TestEnvironment.h"

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
    FakeClock clock; // 15 March 2026
};

const auto width = [](const Preferences& p) { return rawValue(p.panelWidth()); };
const auto doubleTap = [](const Preferences& p) { return rawValue(p.doubleTapModifier()); };
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
        {R"({"hotkeyPresetID": "Opt-Cmd-G"})", shortcut, optionCommandT}, // exact identifiers only
        {R"({"hotkeyKeyCode": 5, "hotkeyPresetID": "ctrl-opt-space"})", shortcut, "5/0x0"},
        {R"({"hotkeyKeyCode": 4294967296, "hotkeyModifiers": 0})", shortcut, optionCommandT},
        {R"({"hotkeyKeyCode": null, "hotkeyPresetID": "opt-cmd-g"})", shortcut, "5/0x900"},
        {"{}", actions, all},
        // clang-format off
        {R"({"enabledActions": ["improvePrompt", "summarise", "translate"]})", actions, "translate,improvePrompt"}, // the stored order is ignored
        // clang-format on
        {R"({"enabledActions": []})", actions, all},
        {R"({"panelWidth": "wide"})", width, "wide"},
        {R"({"panelWidth": "Wide"})", width, "standard"},
        {R"({"doubleTapModifier": true})", doubleTap, "off"},
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
    preferences.addUsage(clock, 10, 5);
    preferences.addUsage(clock, 1, 2);
    EXPECT_EQ(preferences.monthlyUsage(clock), (Preferences::Usage{11, 7}));
    EXPECT_EQ(stored("usageMonth"), QJsonValue("2026-3"));

    clock.setWallNow(QDateTime(QDate(2026, 4, 1), QTime(0, 0)));
    EXPECT_EQ(preferences.monthlyUsage(clock), (Preferences::Usage{0, 0}));
    EXPECT_EQ(stored("usagePromptTokens"), QJsonValue(11))
        << "reading must not reset the stored totals";

    preferences.addUsage(clock, 4, 1);
    EXPECT_EQ(preferences.monthlyUsage(clock), (Preferences::Usage{4, 1}));
    EXPECT_EQ(stored("usageMonth"), QJsonValue("2026-4"));
}

TEST_F(PreferencesTest, UnreadableTotalsCountAsZeroAndHugeOnesStopAtTheLimit)
{
    storeFile(R"({"usageMonth": "2026-3", "usagePromptTokens": "many",
                  "usageCompletionTokens": 9223372036854775800})");
    EXPECT_EQ(preferences.monthlyUsage(clock), (Preferences::Usage{0, 9223372036854775800}));
    preferences.addUsage(clock, 3, 100);
    EXPECT_EQ(preferences.monthlyUsage(clock),
              (Preferences::Usage{3, std::numeric_limits<int64_t>::max()}));
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
