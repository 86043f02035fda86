// SPDX-License-Identifier: MIT
#include "settings/UserDefaults.h"

#include "support/TestEnvironment.h"

#include <QJsonArray>
#include <QLockFile>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

int modeOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

class UserDefaultsTest : public ::testing::Test {
protected:
    ScopedConfigHome home;
    UserDefaults defaults = UserDefaults::standard();
    QString path = home.defaultsPath();
};

TEST_F(UserDefaultsTest, MissingFileReadsAsEmptyAndTheFirstWriteCreatesItsFolder)
{
    EXPECT_TRUE(defaults.dictionary().isEmpty());
    EXPECT_FALSE(defaults.object(QStringLiteral("model")));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(path).absolutePath()));

    ASSERT_TRUE(defaults.set(QStringLiteral("model"), QStringLiteral("gpt-4o")));
    EXPECT_EQ(defaults.string(QStringLiteral("model")), QStringLiteral("gpt-4o"));
    // It may hold the relay's credential.
    EXPECT_EQ(modeOf(path), 0600);
    EXPECT_EQ(modeOf(QFileInfo(path).absolutePath()), 0700);
}

TEST_F(UserDefaultsTest, AnOutOfRangeNumberLosesOnlyItsKey)
{
    writeRawFile(path, R"({"model": "x", "big": -1e400, "list": [1E+999], "s": "1e400 \" 2e999"})");
    EXPECT_EQ(defaults.string(QStringLiteral("model")), QStringLiteral("x"));
    EXPECT_EQ(defaults.string(QStringLiteral("s")), QStringLiteral("1e400 \" 2e999"));
    EXPECT_FALSE(defaults.object(QStringLiteral("big")));
    ASSERT_TRUE(defaults.set(QStringLiteral("other"), true));
    EXPECT_EQ(readJsonFile(path).value(QStringLiteral("model")), QStringLiteral("x"));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".broken")));
}

// Whatever sits where the file should be, reading neither waits nor fills memory, and
// writing leaves it alone.
TEST_F(UserDefaultsTest, OnlyARegularFileOfSaneSizeIsReadOrReplaced)
{
    const QString fifo = home.path() + QStringLiteral("/fifo");
    const QString big = home.path() + QStringLiteral("/big");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    writeRawFile(big, "{\"a\": \"" + QByteArray(2 << 20, 'a') + "\"}");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    for (const QString& target : {fifo, QStringLiteral("/dev/zero"), big}) {
        ASSERT_TRUE(QFile::link(target, path));
        EXPECT_TRUE(defaults.dictionary().isEmpty());
        EXPECT_FALSE(defaults.set(QStringLiteral("model"), QStringLiteral("gpt-4o")));
        ASSERT_TRUE(QFile::remove(path));
    }
    EXPECT_EQ(QFileInfo(big).size(), (2 << 20) + 9);
}

TEST_F(UserDefaultsTest, WritesKeepTypesAndOtherKeysAndSeeOtherWriters)
{
    const QByteArray handWritten = R"({"keep": [1, {"nested": true}], "model": "x"})";
    writeRawFile(path, handWritten);
    // A change that changes nothing leaves the hand-written file alone.
    ASSERT_TRUE(defaults.remove(QStringLiteral("absent")));
    ASSERT_TRUE(defaults.set(QStringLiteral("model"), QStringLiteral("x")));
    EXPECT_EQ(readRawFile(path), handWritten);

    ASSERT_TRUE(defaults.set(QStringLiteral("code"), qint64(17)));
    ASSERT_TRUE(defaults.set(QStringLiteral("on"), true));
    ASSERT_TRUE(defaults.set(QStringLiteral("name"), QStringLiteral("17")));
    ASSERT_TRUE(defaults.set(QStringLiteral("list"), QJsonArray{QStringLiteral("a")}));
    const QJsonObject onDisk = readJsonFile(path);
    EXPECT_EQ(onDisk.value(QStringLiteral("code")).type(), QJsonValue::Double);
    EXPECT_EQ(onDisk.value(QStringLiteral("on")).type(), QJsonValue::Bool);
    EXPECT_EQ(onDisk.value(QStringLiteral("name")).type(), QJsonValue::String);
    EXPECT_EQ(onDisk.value(QStringLiteral("list")).type(), QJsonValue::Array);
    EXPECT_EQ(onDisk.value(QStringLiteral("keep")),
              QJsonValue(QJsonArray{1, QJsonObject{{QStringLiteral("nested"), true}}}));
    EXPECT_EQ(onDisk.size(), 6);

    writeRawFile(path, R"({"model": "edited by hand"})");
    EXPECT_EQ(defaults.string(QStringLiteral("model")), QStringLiteral("edited by hand"));
    UserDefaults other(path);
    ASSERT_TRUE(other.remove(QStringLiteral("model")));
    EXPECT_FALSE(defaults.object(QStringLiteral("model")));
}

// One stored JSON value and what each typed read makes of it.
TEST(TypedReadTest, ReadsOnlyTheMatchingType)
{
    constexpr qint64 int64Max = std::numeric_limits<qint64>::max();
    constexpr qint64 int64Min = std::numeric_limits<qint64>::min();
    const struct {
        const char* json;
        bool present;
        std::optional<QString> string;
        std::optional<qint64> integer;
        std::optional<bool> boolean;
        std::optional<QStringList> stringArray;
    } rows[] = {
        {R"("abc")", true, QStringLiteral("abc"), {}, {}, {}},
        {R"("17")", true, QStringLiteral("17"), {}, {}, {}},
        {"17", true, {}, 17, {}, {}},
        {"-3", true, {}, -3, {}, {}},
        {"17.0", true, {}, 17, {}, {}},
        {"1e3", true, {}, 1000, {}, {}},
        {"17.5", true, {}, {}, {}, {}},
        {"9223372036854775807", true, {}, int64Max, {}, {}},
        {"-9223372036854775808", true, {}, int64Min, {}, {}},
        {"9223372036854775808", true, {}, {}, {}, {}},
        {"1e300", true, {}, {}, {}, {}},
        {"true", true, {}, {}, true, {}},
        {"false", true, {}, {}, false, {}},
        {R"(["a", "b"])", true, {}, {}, {}, QStringList{"a", "b"}},
        {"[]", true, {}, {}, {}, QStringList{}},
        {R"(["a", 1])", true, {}, {}, {}, {}},
        {R"({"a": 1})", true, {}, {}, {}, {}},
        {"null", false, {}, {}, {}, {}},
    };
    ScopedConfigHome home;
    const QString key = QStringLiteral("k");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.json);
        writeRawFile(home.defaultsPath(), QByteArray(R"({"k": )") + row.json + "}");
        const UserDefaults defaults = UserDefaults::standard();
        EXPECT_EQ(defaults.object(key).has_value(), row.present);
        EXPECT_EQ(defaults.string(key), row.string);
        EXPECT_EQ(defaults.integer(key), row.integer);
        EXPECT_EQ(defaults.boolean(key), row.boolean);
        EXPECT_EQ(defaults.stringArray(key), row.stringArray);
    }
}

// A hand-edited file that does not parse reads as empty, and its text is kept before the
// first write over it (unless there was nothing to keep).
TEST(UnreadableFileTest, ReadsAsEmptyAndIsKeptBeforeTheFirstWrite)
{
    const std::pair<QByteArray, bool> rows[] = {
        {"", false},      {" \n\t", false},    {R"({"model": "gpt)", true},
        {"[1, 2]", true}, {R"("text")", true}, {R"({"a": 1,})", true},
    };
    for (const auto& [contents, keptAsBroken] : rows) {
        SCOPED_TRACE(contents.toStdString());
        ScopedConfigHome home;
        const QString path = home.defaultsPath();
        const QString brokenPath = path + QStringLiteral(".broken");
        writeRawFile(path, contents);
        UserDefaults defaults = UserDefaults::standard();

        EXPECT_TRUE(defaults.dictionary().isEmpty());
        EXPECT_FALSE(defaults.string(QStringLiteral("model")));
        EXPECT_EQ(readRawFile(path), contents) << "reading must not repair the file";

        ASSERT_TRUE(defaults.set(QStringLiteral("model"), QStringLiteral("gpt-4o")));
        EXPECT_EQ(readJsonFile(path), (QJsonObject{{QStringLiteral("model"), "gpt-4o"}}));
        EXPECT_EQ(QFileInfo::exists(brokenPath), keptAsBroken);
        EXPECT_EQ(readRawFile(brokenPath), keptAsBroken ? contents : QByteArray());
    }
}

TEST_F(UserDefaultsTest, TheNewestBrokenTextIsTheOneKept)
{
    const QString brokenPath = path + QStringLiteral(".broken");
    writeRawFile(path, "first mistake");
    ASSERT_TRUE(defaults.set(QStringLiteral("a"), qint64(1)));
    writeRawFile(path, R"({"a": 1, "b": )");
    // A link put where the copy goes is replaced, never written through.
    const QString elsewhere = home.path() + QStringLiteral("/elsewhere");
    writeRawFile(elsewhere, "someone else's file");
    ASSERT_TRUE(QFile::remove(brokenPath) && QFile::link(elsewhere, brokenPath));
    ASSERT_TRUE(defaults.set(QStringLiteral("c"), qint64(3)));

    EXPECT_EQ(readRawFile(elsewhere), QByteArray("someone else's file"));
    EXPECT_FALSE(QFileInfo(brokenPath).isSymLink());
    EXPECT_EQ(readRawFile(brokenPath), QByteArray(R"({"a": 1, "b": )"));
    EXPECT_EQ(readJsonFile(path), (QJsonObject{{QStringLiteral("c"), 3}}));
}

TEST_F(UserDefaultsTest, BrokenTextThatCannotBeKeptIsNotOverwritten)
{
    const QByteArray handWritten = "{ my settings, almost JSON";
    writeRawFile(path, handWritten);
    QDir().mkpath(path + QStringLiteral(".broken")); // a folder where the copy should go

    EXPECT_FALSE(defaults.set(QStringLiteral("model"), QStringLiteral("gpt-4o")));
    EXPECT_EQ(readRawFile(path), handWritten);
}

TEST_F(UserDefaultsTest, ALockLeftBehindByAVanishedWriterDoesNotBlockWriting)
{
    const QString lockPath = path + QStringLiteral(".lock");
    writeRawFile(lockPath, "no owner\n");
    QFile lockFile(lockPath);
    ASSERT_TRUE(lockFile.open(QIODevice::ReadWrite));
    ASSERT_TRUE(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                     QFileDevice::FileModificationTime));
    lockFile.close();

    EXPECT_TRUE(defaults.set(QStringLiteral("model"), QStringLiteral("gpt-4o")));
    EXPECT_FALSE(QFileInfo::exists(lockPath));
}

TEST_F(UserDefaultsTest, WaitingForTheLockKeepsTheEventLoopTurning)
{
    // Another writer holds the lock and a timer of this thread takes it away. A wait that
    // blocked the thread would never see the timer and give up after five seconds.
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QLockFile other(path + QStringLiteral(".lock"));
    ASSERT_TRUE(other.tryLock(0));
    QTimer::singleShot(20, [&] { other.unlock(); });
    EXPECT_TRUE(defaults.set(QStringLiteral("model"), QStringLiteral("gpt-4o")));
    EXPECT_EQ(readJsonFile(path).value(QStringLiteral("model")).toString(), "gpt-4o");
}

TEST_F(UserDefaultsTest, ConcurrentWritersLoseNothingAndReadersNeverSeeHalfAFile)
{
    constexpr int writers = 4;
    constexpr int keysPerWriter = 40;
    ASSERT_TRUE(defaults.set(QStringLiteral("seed"), true));

    std::atomic<bool> writing = true;
    std::atomic<int> unparsable = 0;
    std::atomic<int> reads = 0;
    std::thread reader([&] {
        while (writing) {
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(readRawFile(path), &error);
            if (error.error != QJsonParseError::NoError || !document.isObject())
                ++unparsable;
            ++reads;
        }
    });

    std::atomic<int> failedWrites = 0;
    std::vector<std::thread> threads;
    for (int w = 0; w < writers; ++w) {
        threads.emplace_back([&, w] {
            UserDefaults own(path);
            for (int i = 0; i < keysPerWriter; ++i) {
                const QString key =
                    QStringLiteral("w%1-%2").arg(QString::number(w), QString::number(i));
                if (!own.update([&](QJsonObject& domain) { domain.insert(key, i); }))
                    ++failedWrites;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    writing = false;
    reader.join();

    EXPECT_EQ(failedWrites, 0);
    EXPECT_EQ(unparsable, 0) << "after " << reads << " reads";
    const QJsonObject domain = defaults.dictionary();
    EXPECT_EQ(domain.size(), writers * keysPerWriter + 1);
    for (int w = 0; w < writers; ++w) {
        for (int i = 0; i < keysPerWriter; ++i) {
            const QString key =
                QStringLiteral("w%1-%2").arg(QString::number(w), QString::number(i));
            EXPECT_EQ(defaults.integerValue(domain.value(key)), i) << key.toStdString();
        }
    }
}

} // namespace
