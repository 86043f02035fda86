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

// Each try runs every installed tool in turn until one lets go of the volume.
TEST_F(EjectVolumeTest, TriesOnceASecondUntilTheVolumeLetsGo)
{
    locations.arguments = {"/home/tester/Applications/Quillmark.AppImage", "--eject-volume", stick};
    mover().ejectSourceVolumeIfAsked();
    commands->installed.insert("umount", "/bin/umount");
    commands->statuses = {1, 2, 32, 0};

    // The old copy is still quitting: the first try waits a second.
    fakeClock.clock.advance(999ms);
    EXPECT_TRUE(commands->runs.isEmpty());
    fakeClock.clock.advance(1ms);
    EXPECT_EQ(commands->runs.size(), 2);
    EXPECT_TRUE(log.lines().isEmpty());
    fakeClock.clock.advance(1s);

    const QString gio = "/usr/bin/gio mount --unmount " + stick;
    EXPECT_EQ(commands->runs,
              (QStringList{gio, "/bin/umount " + stick, gio, "/bin/umount " + stick}));
    EXPECT_EQ(log.lines(), QStringList{"info app: ejected " + stick + " after 2 attempt(s)"});
    EXPECT_EQ(fakeClock.clock.pendingSleeps(), 0);
}

// Without an unmount tool installed every try fails too.
TEST_F(EjectVolumeTest, GivesUpAfterSixTries)
{
    for (const bool toolInstalled : {true, false}) {
        SCOPED_TRACE(toolInstalled);
        freshTree();
        log.sink.clear();
        locations.arguments = {"quillmark", "--eject-volume", stick, "--other"};
        mover().ejectSourceVolumeIfAsked();
        if (!toolInstalled)
            commands->installed.clear();
        const int tries = toolInstalled ? 6 : 0;
        fakeClock.clock.advance(5s);
        EXPECT_EQ(commands->runs.size(), tries * 5 / 6);
        EXPECT_TRUE(log.lines().isEmpty());
        fakeClock.clock.advance(1s);
        EXPECT_EQ(commands->runs.size(), tries);
        EXPECT_EQ(log.lines(),
                  QStringList{"error app: could not eject " + stick + " — leaving it mounted"});
        fakeClock.clock.advance(1min);
        EXPECT_EQ(commands->runs.size(), tries);
    }
}

} // namespace
