// SPDX-License-Identifier: MIT
// The move to ~/Applications against a temporary tree standing in for the volume and the home
// folder:
//   ROOT/media/tester/Quillmark 1.0/Quillmark.AppImage   the running copy
//   ROOT/home/Applications                               where it moves to
//   ROOT/data                                            $XDG_DATA_HOME
#include "onboarding/MoveToApplications.h"
#include "platform/xdg/DesktopEntry.h"
#include "support/TestEnvironment.h"
#include "support/fakes/FakeAlertPresenter.h"
#include "support/fakes/FakeCommandRunner.h"
#include "support/fakes/FakeProcessLauncher.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class MoveTest : public ::testing::Test {
protected:
    MoveTest() { freshTree(); }

    // Starts over in a new, empty tree.
    void freshTree()
    {
        m_root = std::make_unique<QTemporaryDir>();
        writeRawFile(running(), "new copy");
        QFile::setPermissions(running(), QFile::ReadOwner | QFile::ExeOwner);
        locations = {running(),
                     {"/usr/bin/quillmark"},
                     {root("/media/tester"), root("/run/media/tester")},
                     root("/home/Applications"),
                     root("/data"),
                     root("/mounts")};
    }

public:
    // Paths inside the tree; public for the table rows that arrange it.
    QString root(const QString& path = {}) const { return m_root->path() + path; }
    QString volume() const { return root("/media/tester/Quillmark 1.0"); }
    QString running() const { return volume() + "/Quillmark.AppImage"; }
    QString destination() const { return root("/home/Applications/Quillmark.AppImage"); }

protected:
    // The mover over the current locations, with fresh recording fakes.
    MoveToApplications& mover()
    {
        MoveToApplications::Services services;
        services.alerts = std::make_unique<FakeAlertPresenter>();
        services.launcher = std::make_unique<FakeProcessLauncher>();
        alerts = static_cast<FakeAlertPresenter*>(services.alerts.get());
        launcher = static_cast<FakeProcessLauncher*>(services.launcher.get());
        launcher->failure = launchFailure;
        services.commands = commands = std::make_shared<FakeCommandRunner>();
        commands->installed.insert("gio", "/usr/bin/gio");
        services.quit = [this] { ++quits; };
        m_mover = std::make_unique<MoveToApplications>(locations, std::move(services), fakeClock);
        return *m_mover;
    }
    // Offers the move, answering the alerts with these buttons.
    bool offer(std::deque<int> answers)
    {
        log.sink.clear();
        quits = 0;
        MoveToApplications& move = mover();
        alerts->answers = std::move(answers);
        return move.offerIfRunningFromDiskImage();
    }

    FakeClock fakeClock;
    ScopedLogCapture log;
    MoveLocations locations;
    std::optional<QString> launchFailure;
    FakeAlertPresenter* alerts = nullptr;
    FakeProcessLauncher* launcher = nullptr;
    std::shared_ptr<FakeCommandRunner> commands;
    int quits = 0;

private:
    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<MoveToApplications> m_mover;
};

TEST(MoveToApplications, VolumesAreFoundUnderTheMountRoots)
{
    const QStringList roots = {"/media/ann", "/run/media/ann", "/Volumes"};
    const std::pair<const char*, const char*> rows[] = {
        // clang-format off
        {"/media/ann/STICK/Quillmark.AppImage", "/media/ann/STICK"},
        {"/run/media/ann/My Stick/apps/Quillmark.AppImage", "/run/media/ann/My Stick"},
        {"/Volumes/Quillmark/Quillmark.app/Contents/MacOS/Quillmark", "/Volumes/Quillmark"},
        {"/media/ann//STICK/./Quillmark", "/media/ann/STICK"},
        {"/media/ann/Quillmark.AppImage", nullptr},
        {"/media/bob/STICK/Quillmark.AppImage", nullptr},
        {"/media/annex/STICK/Quillmark.AppImage", nullptr},
        {"/home/ann/Applications/Quillmark.AppImage", nullptr},
        // clang-format on
    };
    for (const auto& [path, volume] : rows) {
        EXPECT_EQ(MoveToApplications::volumeOf(path, roots),
                  volume ? std::optional<QString>(volume) : std::nullopt)
            << path;
    }
}

TEST_F(MoveTest, DecliningOrACopyOutsideAVolumeKeepsRunningWhereItIs)
{
    locations.executable = destination();
    EXPECT_FALSE(offer({}));
    EXPECT_TRUE(alerts->shown.isEmpty());
    EXPECT_TRUE(log.lines().isEmpty());

    locations.executable = running();
    for (const int answer : {1, -1}) {
        SCOPED_TRACE(answer);
        EXPECT_FALSE(offer({answer}));
        ASSERT_EQ(alerts->shown.size(), 1);
        EXPECT_EQ(alerts->shown[0].message, "Move Quillmark to Applications?");
        EXPECT_EQ(log.lines(),
                  (QStringList{"info app: running from a disk image at " + volume(),
                               "info app: declined the move — staying on the disk image"}));
        EXPECT_FALSE(QFileInfo::exists(destination()));
        EXPECT_TRUE(launcher->started.isEmpty());
        EXPECT_EQ(quits, 0);
    }
}

// The copy lands in the folder with a desktop entry, starts with the volume to eject and
// this one quits, even when the copy cannot be started; an older copy there goes to the Trash
// first.
TEST_F(MoveTest, MovingCopiesStartsTheCopyAndQuits)
{
    for (const int row : {0, 1, 2}) {
        SCOPED_TRACE(row);
        const bool older = row == 1;
        freshTree();
        if (older)
            writeRawFile(destination(), "old copy");
        if (row == 2)
            launchFailure = "“x” is not an executable file.";
        EXPECT_TRUE(offer({0}));

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
        if (launchFailure)
            lines.append("error app: relaunch after move failed: " + *launchFailure);
        EXPECT_EQ(log.lines(), lines);
        EXPECT_EQ(readRawFile(root("/data/applications/quillmark.desktop")),
                  DesktopEntry::contents(destination()).toUtf8());
        EXPECT_EQ(readRawFile(root("/data/Trash/files/Quillmark.AppImage")),
                  older ? "old copy" : "");
        EXPECT_EQ(QFileInfo::exists(root("/data/Trash/info/Quillmark.AppImage.trashinfo")), older);
    }
}

TEST_F(MoveTest, AFailedMoveExplainsAndStays)
{
    const struct {
        std::function<void(MoveTest&)> arrange;
        QString description;
    } rows[] = {
        // clang-format off
        {[](MoveTest& t) { QFile::remove(t.running()); }, "“Quillmark.AppImage” couldn’t be copied to “%1/home/Applications”: Cannot open %1/media/tester/Quillmark 1.0/Quillmark.AppImage for input"},
        {[](MoveTest& t) { writeRawFile(t.destination(), "old"); writeRawFile(t.root("/data"), "a file"); }, "“%1/home/Applications/Quillmark.AppImage” couldn’t be moved to the Trash: the Trash folder %1/data/Trash cannot be created"},
        {[](MoveTest& t) { writeRawFile(t.root("/home"), "not a folder"); }, "The folder “%1/home/Applications” couldn’t be created."},
        // clang-format on
    };
    for (const auto& row : rows) {
        freshTree();
        row.arrange(*this);
        const QString description = row.description.arg(root());
        SCOPED_TRACE(description.toStdString());
        EXPECT_FALSE(offer({0, 0}));
        ASSERT_EQ(alerts->shown.size(), 2);
        EXPECT_EQ(alerts->shown[1].message, "Could not move Quillmark");
        EXPECT_TRUE(alerts->shown[1].informativeText.startsWith(description));
        EXPECT_EQ(log.lines().last(), "error app: move failed: " + description);
        EXPECT_TRUE(launcher->started.isEmpty());
        EXPECT_EQ(quits, 0);
    }
}

// Once a second, the old copy still quitting at first, each try runs every installed tool in
// turn until one lets go of the volume; after six tries it gives up. Without a volume named
// nothing is tried.
TEST_F(MoveTest, EjectingTriesOnceASecondUntilTheVolumeLetsGo)
{
    const QString stick = "/media/tester/Quillmark 1.0";
    const QString gio = "/usr/bin/gio mount --unmount " + stick;
    const QString umount = "/bin/umount " + stick;
    const QString ejected = "info app: ejected " + stick + " after 2 attempt(s)";
    const QString failed = "error app: could not eject " + stick + " — leaving it mounted";
    const struct {
        QStringList arguments;
        QStringList tools;
        std::deque<int> statuses;
        int runsAfterFiveSeconds;
        QStringList runs; // after a minute
        QStringList lines;
    } rows[] = {
        // clang-format off
        {{"/usr/bin/quillmark"}, {"gio"}, {}, 0, {}, {}},
        {{"/usr/bin/quillmark", "--eject-volume"}, {"gio"}, {}, 0, {}, {}},
        {{"/usr/bin/quillmark", "--verbose", "--eject-volume"}, {"gio"}, {}, 0, {}, {}},
        {{"quillmark", "--eject-volume", stick}, {"gio", "umount"}, {1, 2, 32, 0}, 4, {gio, umount, gio, umount}, {ejected}},
        {{"quillmark", "--eject-volume", stick, "--other"}, {"gio"}, {}, 5, QStringList(6, gio), {failed}},
        {{"quillmark", "--eject-volume", stick}, {}, {}, 0, {}, {failed}},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString() + " / " +
                     row.tools.join(' ').toStdString());
        log.sink.clear();
        locations.arguments = row.arguments;
        mover().ejectSourceVolumeIfAsked();
        commands->installed.clear();
        for (const QString& tool : row.tools)
            commands->installed.insert(tool, tool == "gio" ? "/usr/bin/gio" : "/bin/umount");
        commands->statuses = row.statuses;
        fakeClock.advance(999ms);
        EXPECT_TRUE(commands->runs.isEmpty()) << "the old copy is still quitting";
        fakeClock.advance(1ms);
        EXPECT_EQ(commands->runs.size(), std::min<qsizetype>(row.runs.size(), row.tools.size()));
        fakeClock.advance(4s);
        EXPECT_EQ(commands->runs.size(), row.runsAfterFiveSeconds);
        EXPECT_EQ(log.lines().isEmpty(), row.runs.size() != 4) << "ejected at two seconds";
        fakeClock.advance(1min);
        EXPECT_EQ(commands->runs, row.runs);
        EXPECT_EQ(log.lines(), row.lines);
        EXPECT_EQ(fakeClock.pendingSleeps(), 0);
    }
}

} // namespace
