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
    const QString elsewhere = "/media/ann/Elsewhere";
    const QHash<QString, QString> paths = {
        {"gio", "/usr/bin/gio"}, {"udisksctl", "/usr/bin/udisksctl"}, {"umount", "/bin/umount"}};
    const struct {
        QString volume;
        const char* installed;
        QList<UnmountCommand> expected;
    } rows[] = {
        {volume, "gio udisksctl umount", {gio, udisks, umount}},
        {volume, "udisksctl umount", {udisks, umount}},
        {volume, "gio", {gio}},
        {volume, "", {}},
        // udisks needs the block device
        {elsewhere, "udisksctl umount", {{"/bin/umount", {elsewhere}}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.volume.toStdString() + " with " + row.installed);
        FakeCommandRunner tools;
        for (const QString& tool : QString(row.installed).split(u' ', Qt::SkipEmptyParts))
            tools.installed.insert(tool, paths.value(tool));
        EXPECT_EQ(UnmountCommand::candidatesFor(row.volume, tools, mounts), row.expected);
    }
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
