// SPDX-License-Identifier: MIT
#include "platform/gnome/GnomeCustomKeybinding.h"

#include "support/DesktopTools.h"
#include "support/ScopedEnvironment.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeKeyboardLayout.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString list = QString::fromLatin1(GnomeCustomKeybinding::listSchema);
const QString entrySchema = QString::fromLatin1(GnomeCustomKeybinding::entrySchema) + u':';
const QString ours = entrySchema + QString::fromLatin1(GnomeCustomKeybinding::entryPath);
const QString custom0 =
    QStringLiteral("/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/");
const QString theirs = entrySchema + custom0;
const QString theirPath = u'\'' + custom0 + u'\'';

// What GNOME's own tool reads from the settings this process wrote.
QString gsettings(const QStringList& arguments)
{
    return QString::fromUtf8(runTool(QStringLiteral("gsettings"), arguments).output.trimmed());
}

class GnomeCustomKeybindingTest : public ::testing::Test {
protected:
    GnomeCustomKeybindingTest() { environment.set("GSETTINGS_BACKEND", "keyfile"); }

    ScopedConfigHome config;
    ScopedEnvironment environment;
    FakeKeyboardLayout us{{17, "t"}, {40, "k"}, {43, ","}};
};

TEST_F(GnomeCustomKeybindingTest, AddsUpdatesAndRemovesOnlyItsOwnEntry)
{
    // The user's own entry, and Quillmark's as GNOME's settings wrote it.
    const QString both = "[" + theirPath + ", '" + GnomeCustomKeybinding::entryPath + "']";
    gsettings({"set", list, "custom-keybindings", both});
    gsettings({"set", theirs, "binding", "<Super>e"});
    gsettings({"set", ours, "binding", "<Primary><mod1>K"});
    const std::unique_ptr<GnomeCustomKeybinding> keybinding = GnomeCustomKeybinding::make(us);
    ASSERT_NE(keybinding, nullptr);
    EXPECT_EQ(keybinding->current(), (HotkeyShortcut{40, 0x1800}));
    keybinding->remove();
    EXPECT_EQ(gsettings({"get", list, "custom-keybindings"}), "[" + theirPath + "]");

    const QString command =
        CommandKeybinding::commandLine({"/opt/Quill's Mark/quillmark", "trigger"});
    const std::pair<HotkeyShortcut, const char*> rows[] = {
        {HotkeyShortcut::defaultShortcut(), "'<Alt><Super>t'"},
        {{43, 0x1A00}, "'<Control><Alt><Shift>comma'"},
    };
    for (const auto& [shortcut, binding] : rows) {
        SCOPED_TRACE(binding);
        ASSERT_TRUE(keybinding->set(shortcut, command));
        EXPECT_EQ(keybinding->current(), shortcut);
        EXPECT_EQ(gsettings({"get", ours, "binding"}), binding);
        EXPECT_EQ(gsettings({"get", list, "custom-keybindings"}), both);
    }
    EXPECT_EQ(gsettings({"get", ours, "name"}), "'Quillmark'");
    EXPECT_EQ(gsettings({"get", ours, "command"}),
              R"("'/opt/Quill'\\''s Mark/quillmark' trigger")");
    EXPECT_EQ(gsettings({"get", theirs, "binding"}), "'<Super>e'");
}

// GLib reads its schema folders once per process, and creating settings of a missing schema
// ends the process: the look-up runs in a process of its own.
TEST(GnomeCustomKeybindingDeathTest, WithoutTheSchemaItIsNotOffered)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const QTemporaryDir empty;
            qputenv("XDG_DATA_DIRS", empty.path().toLocal8Bit());
            qputenv("GSETTINGS_SCHEMA_DIR", empty.path().toLocal8Bit());
            FakeKeyboardLayout none;
            std::_Exit(GnomeCustomKeybinding::make(none) ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "not offered, the settings daemon's schema");
}

} // namespace
