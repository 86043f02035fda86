// SPDX-License-Identifier: MIT
#include "platform/x11/XInputKeyEventSource.h"
#include "support/ScopedEnvironment.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// Points DISPLAY at a display nobody serves for the life of the object.
TEST(XInputKeyEventSourceTest, withoutADisplayStartingFailsAndSaysWhy)
{
    ScopedEnvironment display;
    display.set("DISPLAY", ":4711");
    ScopedLogCapture log;
    XInputKeyEventSource source;
    bool called = false;

    EXPECT_FALSE(source.start([&](const KeyEventSource::Event&) { called = true; }));
    EXPECT_FALSE(source.start([&](const KeyEventSource::Event&) { called = true; }))
        << "each start tries again";
    source.stop();
    EXPECT_FALSE(called);
    EXPECT_EQ(log.lines(), (QStringList{"error hotkey: double-tap watcher: no X display",
                                        "error hotkey: double-tap watcher: no X display"}));
}

} // namespace
