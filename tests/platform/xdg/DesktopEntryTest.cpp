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
        {"/home/ann/Quillmark.AppImage", "/home/ann/Quillmark.AppImage"},
        {"/home/ann/My Apps/Quillmark", R"("/home/ann/My Apps/Quillmark")"},
        {"/home/ann/100%/q", "/home/ann/100%%/q"},
        {"/home/ann/$HOME/q", R"("/home/ann/\\$HOME/q")"},
        {R"(/home/ann/say "hi"/q)", R"("/home/ann/say \\"hi\\"/q")"},
        {R"(/home/ann/back\slash)", R"("/home/ann/back\\\\slash")"},
        {"", R"("")"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DesktopEntry::execArgument(row.argument), row.written) << row.argument;
}

} // namespace
