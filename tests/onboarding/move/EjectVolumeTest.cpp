// SPDX-License-Identifier: MIT
#include "MoveTestSupport.h"

using namespace std::chrono_literals;

namespace {

const QString stick = QStringLiteral("/media/tester/Quillmark 1.0");

class EjectVolumeTest : public MoveTest {};

TEST_F(EjectVolumeTest, NothingIsEjectedWithoutAVolumeToEject)
{
    const QList<QStringList> argumentLists = {
        {"/usr/bin/quillmark"},
        {"/usr/bin/quillmark", "--eject-volume"},
        {"/usr/bin/quillmark", "--verbose", "--eject-volume"},
    };
    for (const QStringList& arguments : argumentLists) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        locations.arguments = arguments;
        mover().ejectSourceVolumeIfAsked();
        EXPECT_EQ(fakeClock.clock.pendingSleeps(), 0);
        fakeClock.clock.advance(10s);
        EXPECT_TRUE(commands->runs.isEmpty());
        EXPECT_TRUE(log.lines().isEmpty());
    }
}

TEST_F(EjectVolumeTest, TriesOnceASecondUntilTheVolumeLetsGo)
{
    locations.arguments = {"/home/tester/Applications/Quillmark.AppImage", "--eject-volume", stick};
    mover().ejectSourceVolumeIfAsked();
    commands->statuses = {1, 32, 0};

    // The old copy is still quitting: the first try waits a second.
    fakeClock.clock.advance(999ms);
    EXPECT_TRUE(commands->runs.isEmpty());
    fakeClock.clock.advance(1ms);
    EXPECT_EQ(commands->runs.size(), 1);
    fakeClock.clock.advance(1s);
    EXPECT_EQ(commands->runs.size(), 2);
    EXPECT_TRUE(log.lines().isEmpty());
    fakeClock.clock.advance(1s);

    const QString unmount = "/usr/bin/gio mount --unmount " + stick;
    EXPECT_EQ(commands->runs, (QStringList{unmount, unmount, unmount}));
    EXPECT_EQ(log.lines(), QStringList{"info app: ejected " + stick + " after 3 attempt(s)"});
    EXPECT_EQ(fakeClock.clock.pendingSleeps(), 0);
}

TEST_F(EjectVolumeTest, GivesUpAfterSixTries)
{
    locations.arguments = {"quillmark", "--eject-volume", stick, "--other"};
    mover().ejectSourceVolumeIfAsked();
    fakeClock.clock.advance(5s);
    EXPECT_EQ(commands->runs.size(), 5);
    EXPECT_TRUE(log.lines().isEmpty());

    fakeClock.clock.advance(1s);
    EXPECT_EQ(commands->runs.size(), 6);
    EXPECT_EQ(log.lines(),
              QStringList{"error app: could not eject " + stick + " — leaving it mounted"});
    fakeClock.clock.advance(1min);
    EXPECT_EQ(commands->runs.size(), 6);
}

TEST_F(EjectVolumeTest, TheNextToolGetsItsTurnInTheSameTry)
{
    locations.arguments = {"quillmark", "--eject-volume", stick};
    mover().ejectSourceVolumeIfAsked();
    commands->installed.insert("umount", "/bin/umount");
    commands->statuses = {2, 0};
    fakeClock.clock.advance(1s);
    EXPECT_EQ(commands->runs,
              (QStringList{"/usr/bin/gio mount --unmount " + stick, "/bin/umount " + stick}));
    EXPECT_EQ(log.lines(), QStringList{"info app: ejected " + stick + " after 1 attempt(s)"});
}

TEST_F(EjectVolumeTest, NoUnmountToolCountsAsAFailedTry)
{
    locations.arguments = {"quillmark", "--eject-volume", stick};
    mover().ejectSourceVolumeIfAsked();
    commands->installed.clear();
    fakeClock.clock.advance(6s);
    EXPECT_TRUE(commands->runs.isEmpty());
    EXPECT_EQ(log.lines(),
              QStringList{"error app: could not eject " + stick + " — leaving it mounted"});
}

} // namespace
