// SPDX-License-Identifier: MIT
// Copy and paste in keyboard layouts where the C and V keys are not simply the QWERTY
// ones: the editor must still see Ctrl+C and Ctrl+V.
#include "DesktopTestSupport.h"

#include "settings/Preferences.h"

namespace {

bool setLayout(const QString& layouts, const QString& variants)
{
    return runTool(QStringLiteral("setxkbmap"),
                   {QStringLiteral("-layout"), layouts, QStringLiteral("-variant"), variants})
               .exitCode == 0;
}

class LayoutDesktopTest : public DesktopTest {
protected:
    void TearDown() override
    {
        if (!IsSkipped()) {
            EXPECT_TRUE(setLayout(QStringLiteral("us"), QString()));
        }
    }
};

TEST_F(LayoutDesktopTest, TheCopyAndPasteCommandsStillWork)
{
    Mousepad editor;
    ASSERT_TRUE(editor.start(QStringLiteral("draft text")));
    const std::optional<TargetApplication> target =
        waitForActiveWindow(editor.pid(), QStringLiteral("Mousepad"));
    ASSERT_TRUE(target);
    setDefault(DefaultsKey::forceClipboardCapture, true);
    // A keyboard setup of the user's; its first group is the active one. In the Russian group
    // no key types a Latin letter, so the keys are found in the Latin group; with Dvorak the C
    // and V keys are not where QWERTY has them.
    const struct {
        const char* layouts;
        const char* variants;
        QString before, after;
    } rows[] = {{"ru,us", ",", "draft text", "final text"},
                {"us", "dvorak", "final text", "last text"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.layouts);
        ASSERT_TRUE(setLayout(QString::fromLatin1(row.layouts), QString::fromLatin1(row.variants)));
        ASSERT_TRUE(selectAll(*target, row.before));

        const std::optional<CapturedSelection> captured = runCapture();
        EXPECT_EQ(captured ? captured->text : QString(), row.before);
        runPaste(row.after, target);
        EXPECT_TRUE(selectAll(*target, row.after));
    }
}

} // namespace
