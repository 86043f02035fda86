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
const QString ours = QString::fromLatin1(GnomeCustomKeybinding::entrySchema) + u':' +
                     QString::fromLatin1(GnomeCustomKeybinding::entryPath);
const QString theirs = QString::fromLatin1(GnomeCustomKeybinding::entrySchema) +
                       QStringLiteral(":/org/gnome/settings-daemon/plugins/media-keys/"
                                      "custom-keybindings/custom0/");
const QString theirPath =
    QStringLiteral("'/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/'");

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
    ScopedLogCapture log;
    FakeKeyboardLayout us{{17, "t"}, {40, "k"}, {43, ","}};
};

TEST_F(GnomeCustomKeybindingTest, AddsUpdatesAndRemovesOnlyItsOwnEntry)
{
    // The user's own entry, made before Quillmark's.
    gsettings({"set", list, "custom-keybindings", "[" + theirPath + "]"});
    gsettings({"set", theirs, "binding", "<Super>e"});
    const std::unique_ptr<GnomeCustomKeybinding> keybinding = GnomeCustomKeybinding::make(us);
    ASSERT_NE(keybinding, nullptr);
    EXPECT_EQ(keybinding->current(), std::nullopt);
    keybinding->remove();

    const QString command =
        CommandKeybinding::commandLine({"/opt/Quill's Mark/quillmark", "trigger"});
    const struct {
        HotkeyShortcut shortcut;
        const char* binding;
    } rows[] = {
        {HotkeyShortcut::defaultShortcut(), "'<Alt><Super>t'"},
        {{43, HotkeyShortcut::controlBit | HotkeyShortcut::optionBit | HotkeyShortcut::shiftBit},
         "'<Control><Alt><Shift>comma'"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.binding);
        ASSERT_TRUE(keybinding->set(row.shortcut, command));
        EXPECT_EQ(keybinding->current(), row.shortcut);
        EXPECT_EQ(gsettings({"get", ours, "binding"}), row.binding);
        EXPECT_EQ(gsettings({"get", list, "custom-keybindings"}),
                  "[" + theirPath + ", '" + GnomeCustomKeybinding::entryPath + "']");
    }
    EXPECT_EQ(gsettings({"get", ours, "name"}), "'Quillmark'");
    EXPECT_EQ(gsettings({"get", ours, "command"}),
              R"("'/opt/Quill'\\''s Mark/quillmark' trigger")");

    keybinding->remove();
    EXPECT_EQ(keybinding->current(), std::nullopt);
    EXPECT_EQ(gsettings({"get", list, "custom-keybindings"}), "[" + theirPath + "]");
    EXPECT_EQ(gsettings({"get", theirs, "binding"}), "'<Super>e'");
    EXPECT_EQ(gsettings({"get", ours, "binding"}), "''");
}

TEST(GnomeAccelerator, ReadsWhatGnomeWritesAndNothingItCannotName)
{
    FakeKeyboardLayout us{{17, "t"}, {40, "k"}};
    const std::pair<const char*, std::optional<HotkeyShortcut>> rows[] = {
        {"<Alt><Super>t", HotkeyShortcut::defaultShortcut()},
        {"<super><ALT>T", HotkeyShortcut::defaultShortcut()},
        {"<Primary><Mod1>k", HotkeyShortcut{40, 0x1800}},
        {"<Ctrl><Shift><Mod4>F5", HotkeyShortcut{96, 0x1300}},
        {"<Hyper>t", std::nullopt},
        {"<Alt><Super>", std::nullopt},
        {"<Alt", std::nullopt},
        {"<Alt><Super>q", std::nullopt}, // no key of the layout types it
    };
    for (const auto& [accelerator, shortcut] : rows) {
        SCOPED_TRACE(accelerator);
        EXPECT_EQ(GnomeCustomKeybinding::parseAccelerator(accelerator, us), shortcut);
    }
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
