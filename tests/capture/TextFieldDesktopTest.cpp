// SPDX-License-Identifier: MIT
// Reading the focused field of a toolkit whose accessibility tree must be walked, and
// never reading a password field.
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

TEST_F(TextFieldDesktopTest, TheFocusedFieldIsFoundByWalkingTheWindow)
{
    const std::optional<TargetApplication> target = open({QStringLiteral("  walked text ")});
    ASSERT_TRUE(target);
    // The toolkit registers its tree with the accessibility bus shortly after showing.
    ASSERT_TRUE(waitUntil(
        [&] { return accessibility().selectedText(target) == QStringLiteral("  walked text "); }));

    const std::optional<CapturedSelection> captured = runCapture();

    ASSERT_TRUE(captured && captured->targetApp && captured->targetApp->accessible);
    TargetApplication read = *target;
    read.accessible = captured->targetApp->accessible;
    EXPECT_EQ(*captured,
              (CapturedSelection{QStringLiteral("  walked text "), CaptureMethod::ax, read}));
}

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
