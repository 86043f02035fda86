// SPDX-License-Identifier: MIT
// Never reading a password field. (Reading a field found by walking the window is part of
// the Replace route table.)
#include "DesktopTestSupport.h"

namespace {

class TextFieldDesktopTest : public DesktopTest {
protected:
    // Opens the window and waits until it is in front.
    std::optional<TargetApplication> open(const QStringList& arguments)
    {
        if (!field.start(QStringLiteral(TEXT_FIELD_WINDOW_PATH), arguments))
            return std::nullopt;
        return waitForActiveWindow(field.pid(), {});
    }

    ChildProcess field;
};

TEST_F(TextFieldDesktopTest, APasswordFieldIsNeverRead)
{
    const std::optional<TargetApplication> target =
        open({QStringLiteral("--password"), QStringLiteral("hunter2")});
    ASSERT_TRUE(target);
    // Give the toolkit the time a readable field needs to appear on the bus.
    EXPECT_FALSE(waitUntil([&] { return accessibility().selectedText(target).has_value(); }, 3s));

    // The copy command finds nothing either: password fields refuse to copy.
    EXPECT_FALSE(runCapture());
    EXPECT_EQ(log.lines(), QStringList{"info capture: no selection captured"});
}

} // namespace
