// SPDX-License-Identifier: MIT
// Copy and paste in keyboard layouts where the C and V keys are not simply the QWERTY
// ones: the editor must still see Ctrl+C and Ctrl+V.
#include "DesktopTestSupport.h"

#include "settings/Preferences.h"

namespace {

// A keyboard setup of the user's; its first group is the active one.
struct LiveLayout {
    const char* name;
    const char* layouts;
    const char* variants;
};

void PrintTo(const LiveLayout& layout, std::ostream* os)
{
    *os << layout.name;
}

class LayoutDesktopTest : public DesktopTest, public ::testing::WithParamInterface<LiveLayout> {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        if (IsSkipped())
            return;
        setLayout(QString::fromLatin1(GetParam().layouts),
                  QString::fromLatin1(GetParam().variants));
        ASSERT_TRUE(editor.start(QStringLiteral("draft text")));
        target = waitForActiveWindow(editor.pid(), QStringLiteral("Mousepad"));
        ASSERT_TRUE(target);
        ASSERT_TRUE(selectAll(*target, QStringLiteral("draft text")));
    }

    void TearDown() override
    {
        if (!m_layoutChanged)
            return;
        setLayout(QStringLiteral("us"), QString());
    }

    void setLayout(const QString& layouts, const QString& variants)
    {
        m_layoutChanged = true;
        ASSERT_EQ(runTool(QStringLiteral("setxkbmap"), {QStringLiteral("-layout"), layouts,
                                                        QStringLiteral("-variant"), variants})
                      .exitCode,
                  0);
    }

    Mousepad editor;
    std::optional<TargetApplication> target;

private:
    bool m_layoutChanged = false;
};

TEST_P(LayoutDesktopTest, TheCopyAndPasteCommandsStillWork)
{
    setDefault(DefaultsKey::forceClipboardCapture, true);

    const std::optional<CapturedSelection> captured = runCapture();
    ASSERT_TRUE(captured);
    EXPECT_EQ(captured->text, QStringLiteral("draft text"));
    EXPECT_EQ(captured->method, CaptureMethod::clipboard);

    runPaste(QStringLiteral("final text"), target);
    EXPECT_TRUE(selectAll(*target, QStringLiteral("final text")));
}

// In the Russian group no key types a Latin letter, so the keys are found in the Latin
// group; with Dvorak the C and V keys are not where QWERTY has them.
INSTANTIATE_TEST_SUITE_P(Layouts, LayoutDesktopTest,
                         ::testing::Values(LiveLayout{"russianGroupActive", "ru,us", ","},
                                           LiveLayout{"dvorak", "us", "dvorak"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
