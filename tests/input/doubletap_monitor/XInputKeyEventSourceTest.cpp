// SPDX-License-Identifier: MIT
#include "platform/x11/XInputKeyEventSource.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// Points DISPLAY at a display nobody serves for the life of the object.
class ScopedMissingDisplay {
public:
    ScopedMissingDisplay()
    {
        if (qEnvironmentVariableIsSet("DISPLAY"))
            m_saved = qgetenv("DISPLAY");
        qputenv("DISPLAY", ":4711");
    }
    ~ScopedMissingDisplay()
    {
        if (m_saved)
            qputenv("DISPLAY", *m_saved);
        else
            qunsetenv("DISPLAY");
    }
    ScopedMissingDisplay(const ScopedMissingDisplay&) = delete;
    ScopedMissingDisplay& operator=(const ScopedMissingDisplay&) = delete;

private:
    std::optional<QByteArray> m_saved;
};

TEST(XInputKeyEventSourceTest, withoutADisplayStartingFailsAndSaysWhy)
{
    ScopedMissingDisplay display;
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
