// SPDX-License-Identifier: MIT
#include "platform/process/DetachedProcessLauncher.h"
#include "platform/process/QProcessCommandRunner.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

TEST(QProcessCommandRunnerTest, AnswersTheExitStatus)
{
    QProcessCommandRunner runner;
    // A busy volume, a missing tool, a killed one.
    const std::tuple<QString, QStringList, int> rows[] = {
        {"/bin/sh", {"-c", "echo busy >&2; exit 32"}, 32},
        {"/nonexistent/gio", {}, -1},
        {"/bin/sh", {"-c", "kill -9 $$"}, -1},
    };
    for (const auto& [program, arguments, status] : rows)
        EXPECT_EQ(QCoro::waitFor(runner.run(program, arguments)), status) << program.toStdString();
    // A tool that hangs is stopped.
    EXPECT_EQ(QCoro::waitFor(QProcessCommandRunner(200ms).run("/bin/sleep", {"30"})), -1);
}

class DetachedProcessLauncherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        script = dir.path() + "/record.sh";
        writeRawFile(script,
                     "#!/bin/sh\n"
                     "if kill -0 \"$OLD_PID\" 2>/dev/null; then old=alive; else old=gone; fi\n"
                     "{ printf '%s\\n' \"$@\"; printf 'APPIMAGE=%s\\n' \"$APPIMAGE\"; "
                     "echo \"old $old\"; } > \"$0.tmp\"\n"
                     "mv \"$0.tmp\" \"$0.out\"\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QTemporaryDir dir;
    QString script;
};

TEST_F(DetachedProcessLauncherTest, StartsOnceTheOldProcessHasEnded)
{
    QProcess old;
    old.start("/bin/sleep", {"30"});
    ASSERT_TRUE(old.waitForStarted());

    // The new copy records whether the old process was still there when it started.
    qputenv("OLD_PID", QByteArray::number(old.processId()));
    qputenv("APPIMAGE", "/media/tester/STICK/Quillmark.AppImage");
    DetachedProcessLauncher launcher(old.processId(), 10s);
    EXPECT_EQ(launcher.startAfterThisProcess(script, {"--eject-volume", "/media/tester/My $STICK"}),
              std::nullopt);
    qunsetenv("APPIMAGE");
    qunsetenv("OLD_PID");

    old.kill();
    ASSERT_TRUE(old.waitForFinished());
    ASSERT_TRUE(QTest::qWaitFor([this] { return QFile::exists(script + ".out"); }, 5000));
    EXPECT_EQ(readRawFile(script + ".out"),
              "--eject-volume\n/media/tester/My $STICK\nAPPIMAGE=\nold gone\n");
}

TEST_F(DetachedProcessLauncherTest, OnlyExecutablesAreStarted)
{
    DetachedProcessLauncher launcher;
    const QString plain = dir.path() + "/notes.txt";
    writeRawFile(plain, "");
    for (const QString& program : {plain, dir.path()}) {
        SCOPED_TRACE(program.toStdString());
        EXPECT_EQ(launcher.startAfterThisProcess(program, {}),
                  "“" + program + "” is not an executable file.");
    }
}

} // namespace
