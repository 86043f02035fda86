// SPDX-License-Identifier: MIT
#include "platform/xdg/DesktopEntry.h"

#include <gtest/gtest.h>

namespace {

TEST(DesktopEntryTest, ExecArgumentsAreQuotedWhereNeeded)
{
    const struct {
        const char* argument;
        const char* written;
    } rows[] = {
        {"/home/ann/Applications/Quillmark.AppImage", "/home/ann/Applications/Quillmark.AppImage"},
        {"/home/ann/My Apps/Quillmark", R"("/home/ann/My Apps/Quillmark")"},
        {"/home/ann/100%/q", "/home/ann/100%%/q"},
        {"/home/ann/$HOME/q", R"("/home/ann/\\$HOME/q")"},
        {R"(/home/ann/say "hi"/q)", R"("/home/ann/say \\"hi\\"/q")"},
        {R"(/home/ann/back\slash)", R"("/home/ann/back\\\\slash")"},
        {"", R"("")"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.argument);
        EXPECT_EQ(DesktopEntry::execArgument(row.argument), row.written);
    }
}

TEST(DesktopEntryTest, NamesTheProductAndItsCopy)
{
    const QString entry = DesktopEntry::contents("/home/ann/My Apps/Quillmark.AppImage");
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\nType=Application\nName=Quillmark\n"));
    EXPECT_TRUE(entry.contains("\nExec=\"/home/ann/My Apps/Quillmark.AppImage\"\n"));
    EXPECT_TRUE(entry.contains("\nTryExec=/home/ann/My Apps/Quillmark.AppImage\n"));
    EXPECT_TRUE(entry.contains("\nTerminal=false\n"));
    // KWin's fake input types the copy and paste chords only for the program of such an entry.
    EXPECT_TRUE(entry.contains("\nX-KDE-Wayland-Interfaces=org_kde_kwin_fake_input\n"));
}

} // namespace
