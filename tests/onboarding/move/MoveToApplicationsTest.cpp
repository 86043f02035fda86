// SPDX-License-Identifier: MIT
#include "MoveTestSupport.h"
#include "platform/xdg/DesktopEntry.h"

namespace {

class MoveToApplicationsTest : public MoveTest {};

TEST_F(MoveToApplicationsTest, VolumesAreFoundUnderTheMountRoots)
{
    const QStringList roots = {"/media/ann", "/run/media/ann", "/Volumes"};
    const struct {
        const char* path;
        const char* volume; // nullptr: not on a volume
    } rows[] = {
        {"/media/ann/STICK/Quillmark.AppImage", "/media/ann/STICK"},
        {"/run/media/ann/My Stick/apps/Quillmark.AppImage", "/run/media/ann/My Stick"},
        {"/Volumes/Quillmark/Quillmark.app/Contents/MacOS/Quillmark", "/Volumes/Quillmark"},
        {"/media/ann//STICK/./Quillmark", "/media/ann/STICK"},
        {"/media/ann/Quillmark.AppImage", nullptr},
        {"/media/bob/STICK/Quillmark.AppImage", nullptr},
        {"/media/annex/STICK/Quillmark.AppImage", nullptr},
        {"/home/ann/Applications/Quillmark.AppImage", nullptr},
        {"/usr/bin/quillmark", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        const std::optional<QString> volume = MoveToApplications::volumeOf(row.path, roots);
        if (row.volume)
            EXPECT_EQ(volume, QString(row.volume));
        else
            EXPECT_FALSE(volume);
    }
}

TEST_F(MoveToApplicationsTest, DecliningOrACopyOutsideAVolumeKeepsRunningWhereItIs)
{
    locations.executable = root("/home/Applications/Quillmark.AppImage");
    EXPECT_FALSE(mover().offerIfRunningFromDiskImage());
    EXPECT_TRUE(alerts->shown.isEmpty());
    EXPECT_TRUE(log.lines().isEmpty());

    locations.executable = running();
    for (const int answer : {1, -1}) {
        SCOPED_TRACE(answer);
        log.sink.clear();
        MoveToApplications& move = mover();
        alerts->answers = {answer};

        EXPECT_FALSE(move.offerIfRunningFromDiskImage());

        ASSERT_EQ(alerts->shown.size(), 1);
        EXPECT_EQ(alerts->shown[0].message, "Move Quillmark to Applications?");
        EXPECT_EQ(alerts->shown[0].buttons, (QStringList{"Move to Applications", "Not Now"}));
        EXPECT_EQ(log.lines(),
                  (QStringList{"info app: running from a disk image at " + volume(),
                               "info app: declined the move — staying on the disk image"}));
        EXPECT_FALSE(QFileInfo::exists(destination()));
        EXPECT_TRUE(launcher->started.isEmpty());
        EXPECT_EQ(quits, 0);
    }
}

// The copy lands in the folder with a desktop entry, starts with the volume to eject and
// this one quits; an older copy there goes to the Trash first.
TEST_F(MoveToApplicationsTest, MovingCopiesStartsTheCopyAndQuits)
{
    for (const bool older : {false, true}) {
        SCOPED_TRACE(older ? "over an older copy" : "into an empty folder");
        freshTree();
        if (older)
            writeRawFile(destination(), "old copy");
        MoveToApplications& move = mover();
        alerts->answers = {0};
        log.sink.clear();
        quits = 0;

        EXPECT_TRUE(move.offerIfRunningFromDiskImage());

        EXPECT_EQ(readRawFile(destination()), "new copy");
        EXPECT_TRUE(QFileInfo(destination()).isExecutable());
        EXPECT_EQ(readRawFile(running()), "new copy");
        EXPECT_EQ(launcher->started, (QList<FakeProcessLauncher::Start>{
                                         {destination(), {"--eject-volume", volume()}}}));
        EXPECT_EQ(quits, 1);
        QStringList lines = {"info app: running from a disk image at " + volume(),
                             "info app: copied to " + destination()};
        if (older)
            lines.insert(1, "info app: moved the existing copy to the Trash");
        EXPECT_EQ(log.lines(), lines);
        EXPECT_EQ(readRawFile(root("/data/applications/quillmark.desktop")),
                  DesktopEntry::contents(destination()).toUtf8());
        EXPECT_EQ(readRawFile(root("/data/Trash/files/Quillmark.AppImage")),
                  older ? "old copy" : "");
        EXPECT_EQ(QFileInfo::exists(root("/data/Trash/info/Quillmark.AppImage.trashinfo")), older);
    }
}

TEST_F(MoveToApplicationsTest, AFailedMoveExplainsAndStays)
{
    const struct {
        const char* name;
        std::function<void(MoveTest&)> arrange;
        QString description;
    } rows[] = {
        {"the copy on the volume vanished", [](MoveTest& t) { QFile::remove(t.running()); },
         "“Quillmark.AppImage” couldn’t be copied to “%1/home/Applications”: Cannot open "
         "%1/media/tester/Quillmark 1.0/Quillmark.AppImage for input"},
        {"the older copy cannot be trashed",
         [](MoveTest& t) {
             writeRawFile(t.destination(), "old copy");
             writeRawFile(t.root("/data"), "a file where the data folder should be");
         },
         "“%1/home/Applications/Quillmark.AppImage” couldn’t be moved to the Trash: the Trash "
         "folder %1/data/Trash cannot be created"},
        {"the applications folder cannot be made",
         [](MoveTest& t) { writeRawFile(t.root("/home"), "not a folder"); },
         "The folder “%1/home/Applications” couldn’t be created."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        freshTree();
        row.arrange(*this);
        log.sink.clear();
        MoveToApplications& move = mover();
        alerts->answers = {0, 0};
        const QString description = row.description.arg(root());

        EXPECT_FALSE(move.offerIfRunningFromDiskImage());

        ASSERT_EQ(alerts->shown.size(), 2);
        EXPECT_EQ(alerts->shown[1].message, "Could not move Quillmark");
        EXPECT_TRUE(alerts->shown[1].informativeText.startsWith(description));
        EXPECT_EQ(alerts->shown[1].buttons, QStringList{"OK"});
        EXPECT_EQ(log.lines().last(), "error app: move failed: " + description);
        EXPECT_TRUE(launcher->started.isEmpty());
        EXPECT_EQ(quits, 0);
    }
}

TEST_F(MoveToApplicationsTest, ARefusedRelaunchStillHandsOver)
{
    MoveToApplications& move = mover();
    alerts->answers = {0};
    launcher->failure = "“x” is not an executable file.";

    EXPECT_TRUE(move.offerIfRunningFromDiskImage());

    EXPECT_EQ(log.lines().last(),
              "error app: relaunch after move failed: “x” is not an executable file.");
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(readRawFile(destination()), "new copy");
}

} // namespace
