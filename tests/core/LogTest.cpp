// SPDX-License-Identifier: MIT
#include "core/Log.h"
#include "core/AppIdentity.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

TEST(Log, LinesCarryLevelAndCategory)
{
    ScopedLogCapture log;
    Log::app().info(QStringLiteral("Quillmark 1.0 launched"));
    Log::ai().error(QStringLiteral("%1 failed: %2").arg("translate", "network: %1 down"));
    Log::hotkey().info("h");
    Log::capture().info("c");
    Log::replace().info("r");
    Log::update().info("u");
    EXPECT_EQ(log.lines(),
              QStringList({"info app: Quillmark 1.0 launched",
                           "error ai: translate failed: network: %1 down", "info hotkey: h",
                           "info capture: c", "info replace: r", "info update: u"}));
}

TEST(AppIdentity, VersionFallsBackToUnknown)
{
    EXPECT_EQ(AppIdentity::versionFrom(""), "unknown");
    EXPECT_EQ(AppIdentity::versionFrom(nullptr), "unknown");
    EXPECT_EQ(AppIdentity::versionFrom("1.2.3"), "1.2.3");
    EXPECT_FALSE(AppIdentity::version().isEmpty());
    EXPECT_NE(AppIdentity::version(), "unknown");
}
