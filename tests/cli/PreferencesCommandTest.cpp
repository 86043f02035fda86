// SPDX-License-Identifier: MIT
#include "cli/PreferencesCommand.h"

#include "cli/CommandRunner.h"
#include "settings/Preferences.h"
#include "settings/UserDefaults.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeKeyboardLayout.h"

#include <gtest/gtest.h>

namespace {

// Each value is resolved by Preferences (whose tests cover the fall-backs); this proves the
// command's wiring and that reading leaves the file alone.
TEST(PreferencesCommandTest, PrintsOneLinePerValueAndRefusesArguments)
{
    ScopedConfigHome home;
    Preferences settings{UserDefaults::standard()};
    FakeClock clock;
    FakeKeyboardLayout layout{{17, "t"}};
    const auto preferences = [&](const QStringList& arguments) {
        return runCommand(
            [&](const QStringList& a, CliIO& io) {
                return preferencesCommand(a, io, layout, clock, settings);
            },
            arguments);
    };
    EXPECT_EQ(preferences({}).exitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(home.defaultsPath())) << "reading must not create the file";

    writeRawFile(home.defaultsPath(), R"({"hotkeyKeyCode": 49, "hotkeyModifiers": 6144,
        "useOwnAPIKey": true, "openAIBaseURL": "http://127.0.0.1:9"})");
    const CommandResult result = preferences({});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.count(u'\n'), 14) << result.out.toStdString();
    EXPECT_TRUE(result.out.startsWith("hotkeyShortcut: Ctrl+Alt+Space\n"));
    EXPECT_TRUE(
        result.out.contains("\naiService: compatible\naiServiceAddress: http://127.0.0.1:9\n"));
    EXPECT_TRUE(result.out.endsWith("\nmonthlyUsage: 0 in · 0 out\n"));

    const CommandResult refused = preferences({"--all"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.out, QString());
    EXPECT_EQ(refused.err.count(QLatin1Char('\n')), 1);
}

} // namespace
