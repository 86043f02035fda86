// SPDX-License-Identifier: MIT
#include "settings/UserDefaults.h"

#include "support/TestEnvironment.h"

#include <QLockFile>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

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
    QString brokenPath = path + u".broken"_s;
};

TEST_F(UserDefaultsTest, MissingFileReadsAsEmptyAndTheFirstWriteCreatesItsFolder)
{
    EXPECT_TRUE(defaults.dictionary().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(path).absolutePath()));

    ASSERT_TRUE(defaults.set(u"model"_s, u"gpt-4o"_s));
    EXPECT_EQ(defaults.string(u"model"_s), u"gpt-4o"_s);
    // It may hold the relay's credential.
    EXPECT_EQ(modeOf(path), 0600);
    EXPECT_EQ(modeOf(QFileInfo(path).absolutePath()), 0700);
}

TEST_F(UserDefaultsTest, AnOutOfRangeNumberLosesOnlyItsKey)
{
    writeRawFile(path, R"({"model": "x", "big": -1e400, "list": [1E+999], "s": "1e400 \" 2e999"})");
    EXPECT_EQ(defaults.string(u"model"_s), u"x"_s);
    EXPECT_EQ(defaults.string(u"s"_s), u"1e400 \" 2e999"_s);
    EXPECT_FALSE(defaults.object(u"big"_s));
    ASSERT_TRUE(defaults.set(u"other"_s, true));
    EXPECT_EQ(readJsonFile(path).value(u"model"_s), u"x"_s);
    EXPECT_FALSE(QFileInfo::exists(brokenPath));
}

// Whatever sits where the file should be, reading neither waits nor fills memory, and
// writing leaves it alone.
TEST_F(UserDefaultsTest, OnlyARegularFileOfSaneSizeIsReadOrReplaced)
{
    const QString fifo = home.path() + u"/fifo"_s, big = home.path() + u"/big"_s;
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    writeRawFile(big, "{\"a\": \"" + QByteArray(2 << 20, 'a') + "\"}");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    for (const QString& target : {fifo, u"/dev/zero"_s, big}) {
        ASSERT_TRUE(QFile::link(target, path));
        EXPECT_TRUE(defaults.dictionary().isEmpty());
        EXPECT_FALSE(defaults.set(u"model"_s, u"gpt-4o"_s));
        ASSERT_TRUE(QFile::remove(path));
    }
    EXPECT_EQ(QFileInfo(big).size(), (2 << 20) + 9);
}

TEST_F(UserDefaultsTest, WritesKeepTypesAndOtherKeysAndSeeOtherWriters)
{
    const QByteArray handWritten = R"({"keep": [1, {"nested": true}], "model": "x"})";
    writeRawFile(path, handWritten);
    // A change that changes nothing leaves the hand-written file alone.
    ASSERT_TRUE(defaults.remove(u"absent"_s));
    ASSERT_TRUE(defaults.set(u"model"_s, u"x"_s));
    EXPECT_EQ(readRawFile(path), handWritten);

    ASSERT_TRUE(defaults.set(u"code"_s, qint64(17)));
    EXPECT_EQ(readJsonFile(path), QJsonDocument::fromJson(R"({"keep": [1, {"nested": true}],
        "model": "x", "code": 17})")
                                      .object());

    writeRawFile(path, R"({"model": "edited by hand"})");
    EXPECT_EQ(defaults.string(u"model"_s), u"edited by hand"_s);
    // Rewritten in place at once, at the same size: the file's times may not have moved.
    writeRawFile(path, R"({"model": "edited by HAND"})");
    EXPECT_EQ(defaults.string(u"model"_s), u"edited by HAND"_s);
    ASSERT_TRUE(UserDefaults(path).remove(u"model"_s));
    EXPECT_FALSE(defaults.object(u"model"_s));
}

// One stored JSON value and what each typed read makes of it.
TEST_F(UserDefaultsTest, TypedReadsTakeOnlyTheMatchingType)
{
    constexpr qint64 int64Min = std::numeric_limits<qint64>::min();
    const struct {
        const char* json;
        bool present;
        std::optional<QString> string;
        std::optional<qint64> integer;
        std::optional<bool> boolean;
        std::optional<QStringList> stringArray;
    } rows[] = {
        // clang-format off
        {R"("17")", true, u"17"_s, {}, {}, {}}, {"-3", true, {}, -3, {}, {}}, {"1e3", true, {}, 1000, {}, {}},
        {"17.5", true, {}, {}, {}, {}}, {"-9223372036854775808", true, {}, int64Min, {}, {}},
        {"9223372036854775808", true, {}, {}, {}, {}}, {"false", true, {}, {}, false, {}},
        {R"(["a", "b"])", true, {}, {}, {}, QStringList{"a", "b"}}, {R"(["a", 1])", true, {}, {}, {}, {}},
        {R"({"a": 1})", true, {}, {}, {}, {}}, {"null", false, {}, {}, {}, {}},
        // clang-format on
    };
    const QString key = u"k"_s;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.json);
        writeRawFile(path, QByteArray(R"({"k": )") + row.json + "}");
        EXPECT_EQ(defaults.object(key).has_value(), row.present);
        EXPECT_EQ(defaults.string(key), row.string);
        EXPECT_EQ(defaults.integer(key), row.integer);
        EXPECT_EQ(defaults.boolean(key), row.boolean);
        EXPECT_EQ(defaults.stringArray(key), row.stringArray);
    }
}

// A hand-edited file that does not parse reads as empty, and its text is kept before the
// first write over it (unless there was nothing to keep).
TEST_F(UserDefaultsTest, AnUnreadableFileReadsAsEmptyAndIsKeptBeforeTheFirstWrite)
{
    const std::pair<QByteArray, bool> rows[] = {
        {" \n\t", false}, {R"({"model": "gpt)", true}, {"[1, 2]", true}};
    for (const auto& [contents, keptAsBroken] : rows) {
        SCOPED_TRACE(contents.toStdString());
        QFile::remove(brokenPath);
        writeRawFile(path, contents);
        EXPECT_TRUE(defaults.dictionary().isEmpty());
        EXPECT_EQ(readRawFile(path), contents) << "reading must not repair the file";

        ASSERT_TRUE(defaults.set(u"model"_s, u"gpt-4o"_s));
        EXPECT_EQ(readJsonFile(path), (QJsonObject{{u"model"_s, "gpt-4o"}}));
        EXPECT_EQ(QFileInfo::exists(brokenPath), keptAsBroken);
        EXPECT_EQ(readRawFile(brokenPath), keptAsBroken ? contents : QByteArray());
    }

    // The newest broken text is the one kept; a link put where the copy goes is replaced,
    // never written through.
    writeRawFile(path, R"({"a": 1, "b": )");
    const QString elsewhere = home.path() + u"/elsewhere"_s;
    writeRawFile(elsewhere, "someone else's file");
    ASSERT_TRUE(QFile::remove(brokenPath) && QFile::link(elsewhere, brokenPath));
    ASSERT_TRUE(defaults.set(u"c"_s, qint64(3)));
    EXPECT_EQ(readRawFile(elsewhere), QByteArray("someone else's file"));
    EXPECT_FALSE(QFileInfo(brokenPath).isSymLink());
    EXPECT_EQ(readRawFile(brokenPath), QByteArray(R"({"a": 1, "b": )"));
    EXPECT_EQ(readJsonFile(path), (QJsonObject{{u"c"_s, 3}}));

    // Broken text that cannot be kept (a folder stands where the copy goes) is not overwritten.
    writeRawFile(path, "{ my settings, almost JSON");
    ASSERT_TRUE(QFile::remove(brokenPath) && QDir().mkpath(brokenPath));
    EXPECT_FALSE(defaults.set(u"model"_s, u"gpt-4o"_s));
    EXPECT_EQ(readRawFile(path), QByteArray("{ my settings, almost JSON"));
}

TEST_F(UserDefaultsTest, ALockLeftBehindByAVanishedWriterDoesNotBlockWriting)
{
    const QString lockPath = path + u".lock"_s;
    writeRawFile(lockPath, "no owner\n");
    QFile lockFile(lockPath);
    ASSERT_TRUE(lockFile.open(QIODevice::ReadWrite));
    ASSERT_TRUE(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                     QFileDevice::FileModificationTime));
    lockFile.close();

    EXPECT_TRUE(defaults.set(u"model"_s, u"gpt-4o"_s));
    EXPECT_FALSE(QFileInfo::exists(lockPath));
}

TEST_F(UserDefaultsTest, WaitingForTheLockKeepsTheEventLoopTurning)
{
    // Another writer holds the lock and a timer of this thread takes it away. A wait that
    // blocked the thread would never see the timer and give up after five seconds.
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QLockFile other(path + u".lock"_s);
    ASSERT_TRUE(other.tryLock(0));
    QTimer::singleShot(20, [&] { other.unlock(); });
    EXPECT_TRUE(defaults.set(u"model"_s, u"gpt-4o"_s));
    EXPECT_EQ(defaults.string(u"model"_s), u"gpt-4o"_s);
}

TEST_F(UserDefaultsTest, ConcurrentWritersLoseNothingAndReadersNeverSeeHalfAFile)
{
    constexpr int writers = 4, keysPerWriter = 40;
    ASSERT_TRUE(defaults.set(u"seed"_s, true));
    const auto keyOf = [](int w, int i) { return u"w%1-%2"_s.arg(w).arg(i); };

    std::atomic<bool> writing = true;
    std::atomic<int> unparsable = 0, reads = 0, failedWrites = 0;
    std::thread reader([&] {
        while (writing) {
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(readRawFile(path), &error);
            if (error.error != QJsonParseError::NoError || !document.isObject())
                ++unparsable;
            ++reads;
        }
    });
    std::vector<std::thread> threads;
    for (int w = 0; w < writers; ++w) {
        threads.emplace_back([&, w] {
            UserDefaults own(path);
            for (int i = 0; i < keysPerWriter; ++i) {
                if (!own.update([&](QJsonObject& domain) { domain.insert(keyOf(w, i), i); }))
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
        for (int i = 0; i < keysPerWriter; ++i)
            EXPECT_EQ(defaults.integerValue(domain.value(keyOf(w, i))), i) << w << '-' << i;
    }
}

} // namespace
