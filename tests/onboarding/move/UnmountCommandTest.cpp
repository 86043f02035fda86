// SPDX-License-Identifier: MIT
#include "onboarding/UnmountCommand.h"
#include "support/fakes/FakeCommandRunner.h"

#include <gtest/gtest.h>

namespace {

const QByteArray mounts = "/dev/sda2 / ext4 rw,relatime 0 0\n"
                          "/dev/sdb1 /media/ann/My\\040Stick vfat rw,nosuid 0 0\n"
                          "/dev/sdc1 /media/ann/CARD exfat rw 0 0\n"
                          "/dev/sdd1 /media/ann/CARD exfat rw 0 0\n";

TEST(UnmountCommandTest, EveryInstalledToolInTurn)
{
    const QString volume = "/media/ann/My Stick";
    const UnmountCommand gio{"/usr/bin/gio", {"mount", "--unmount", volume}};
    const UnmountCommand udisks{
        "/usr/bin/udisksctl", {"unmount", "--block-device", "/dev/sdb1", "--no-user-interaction"}};
    const UnmountCommand umount{"/bin/umount", {volume}};
    const struct {
        const char* name;
        QHash<QString, QString> installed;
        QList<UnmountCommand> expected;
    } rows[] = {
        {"all three",
         {{"gio", "/usr/bin/gio"}, {"udisksctl", "/usr/bin/udisksctl"}, {"umount", "/bin/umount"}},
         {gio, udisks, umount}},
        {"udisks and umount",
         {{"udisksctl", "/usr/bin/udisksctl"}, {"umount", "/bin/umount"}},
         {udisks, umount}},
        {"gio only", {{"gio", "/usr/bin/gio"}}, {gio}},
        {"nothing", {}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FakeCommandRunner tools;
        tools.installed = row.installed;
        EXPECT_EQ(UnmountCommand::candidatesFor(volume, tools, mounts), row.expected);
    }
}

TEST(UnmountCommandTest, UdisksNeedsTheBlockDevice)
{
    FakeCommandRunner tools;
    tools.installed = {{"udisksctl", "/usr/bin/udisksctl"}, {"umount", "/bin/umount"}};
    const QList<UnmountCommand> expected{{"/bin/umount", {"/media/ann/Elsewhere"}}};
    EXPECT_EQ(UnmountCommand::candidatesFor("/media/ann/Elsewhere", tools, mounts), expected);
}

TEST(UnmountCommandTest, FindsTheDeviceInTheMountTable)
{
    EXPECT_EQ(UnmountCommand::deviceOf("/media/ann/My Stick", mounts), "/dev/sdb1");
    EXPECT_EQ(UnmountCommand::deviceOf("/media/ann/My Stick/", mounts), "/dev/sdb1");
    // The later of two mounts at one place is the one on top.
    EXPECT_EQ(UnmountCommand::deviceOf("/media/ann/CARD", mounts), "/dev/sdd1");
    EXPECT_EQ(UnmountCommand::deviceOf("/media/ann/My", mounts), "");
    EXPECT_EQ(UnmountCommand::deviceOf("/media/ann/CARD", ""), "");
}

} // namespace
