// SPDX-License-Identifier: MIT
#include "cli/PreferencesCommand.h"

#include "cli/CommandRunner.h"
#include "settings/Preferences.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeKeyboardLayout.h"

#include <gtest/gtest.h>

namespace {

class PreferencesCommandTest : public ::testing::Test {
protected:
    PreferencesCommandTest() { layout.setText(17, QStringLiteral("t")); }

    CommandResult preferences(const QStringList& arguments = {})
    {
        return runCommand(
            [this](const QStringList& a, CliIO& io) {
                return preferencesCommand(a, io, layout, clock.clock, settings);
            },
            arguments);
    }

    ScopedConfigHome home;
    Preferences settings{UserDefaults::standard()};
    ScopedFakeClock clock; // March 2026
    FakeKeyboardLayout layout;
};

TEST_F(PreferencesCommandTest, PrintsValuesAsTheStoreResolvesThem)
{
    EXPECT_EQ(preferences().exitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(home.defaultsPath())) << "reading must not create the file";

    writeRawFile(home.defaultsPath(), R"({
        "hotkeyKeyCode": 49, "hotkeyModifiers": 6144,
        "doubleTapModifier": "command",
        "targetLanguageID": "xx",
        "openAIModel": "gpt-4o",
        "enabledActions": ["improvePrompt", "fixGrammar"],
        "popoverLayout": "list",
        "inputHeight": "large",
        "inputTextSize": "small",
        "panelWidth": "Wide",
        "useOwnAPIKey": true,
        "usageMonth": "2026-3", "usagePromptTokens": 1200, "usageCompletionTokens": 345,
        "openAIBaseURL": "http://127.0.0.1:9"
    })");
    const CommandResult result = preferences();
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, QStringLiteral("hotkeyShortcut: Ctrl+Alt+Space\n"
                                         "doubleTapModifier: command\n"
                                         "targetLanguageID: xx\n"
                                         "targetLanguage: English\n"
                                         "model: gpt-4o\n"
                                         "activeActions: fixGrammar, improvePrompt\n"
                                         "popoverLayout: list\n"
                                         "inputHeight: large\n"
                                         "inputTextSize: small\n"
                                         "panelWidth: standard\n"
                                         "useOwnAPIKey: true\n"
                                         "aiService: compatible\n"
                                         "aiServiceAddress: http://127.0.0.1:9\n"
                                         "monthlyUsage: 1200 in · 345 out\n"));

    clock.clock.setWallNow(QDateTime(QDate(2026, 4, 2), QTime(9, 0)));
    EXPECT_TRUE(preferences().out.endsWith(QStringLiteral("monthlyUsage: 0 in · 0 out\n")));
}

TEST_F(PreferencesCommandTest, RefusesArguments)
{
    const CommandResult result = preferences({"--all"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, QString());
    EXPECT_EQ(result.err.count(QLatin1Char('\n')), 1);
}

} // namespace
