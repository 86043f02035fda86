// SPDX-License-Identifier: MIT
#include "platform/xdg/XdgAutostartEntry.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

QString configHome()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME");
}

TEST(XdgAutostartEntryTest, EnablingWritesAnEntryThatStartsTheProgramInTheAutostartFolder)
{
    ScopedConfigHome config;
    EXPECT_EQ(XdgAutostartEntry::path(),
              configHome() + QStringLiteral("/autostart/quillmark.desktop"));
    const XdgAutostartEntry entry(QStringLiteral("/opt/Quill Mark/quillmark"));
    EXPECT_FALSE(entry.isEnabled());
    QString failure;
    ASSERT_TRUE(entry.enable(failure)) << failure.toStdString();
    EXPECT_TRUE(entry.isEnabled());
    const QByteArray contents = readRawFile(XdgAutostartEntry::path());
    EXPECT_TRUE(contents.startsWith("[Desktop Entry]\nType=Application\nName=Quillmark\n"));
    EXPECT_TRUE(contents.contains("\nExec=\"/opt/Quill Mark/quillmark\"\n"))
        << contents.toStdString();

    ASSERT_TRUE(entry.disable(failure));
    EXPECT_FALSE(QFile::exists(XdgAutostartEntry::path()));
    EXPECT_FALSE(entry.isEnabled());
    EXPECT_TRUE(entry.disable(failure)) << "removing a missing entry succeeds";
}

TEST(XdgAutostartEntryTest, AnEntrySwitchedOffElsewhereCountsAsDisabledAndAFailureSaysWhy)
{
    const struct {
        const char* name;
        QByteArray contents;
        bool enabled;
    } rows[] = {
        {"hidden", "[Desktop Entry]\nExec=quillmark\nHidden=true\n", false},
        {"gnome switch off", "[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n", false},
        {"gnome switch on", "[Desktop Entry]\nX-GNOME-Autostart-enabled=true\n", true},
        {"hidden in another group", "[Desktop Entry]\nExec=q\n[Desktop Action x]\nHidden=true\n",
         true},
    };
    ScopedConfigHome config;
    for (const auto& row : rows) {
        writeRawFile(XdgAutostartEntry::path(), row.contents);
        EXPECT_EQ(XdgAutostartEntry(QStringLiteral("q")).isEnabled(), row.enabled) << row.name;
    }

    // A folder that cannot be made fails with the reason.
    QFile::remove(XdgAutostartEntry::path());
    QDir(configHome()).rmdir(QStringLiteral("autostart"));
    writeRawFile(configHome() + QStringLiteral("/autostart"), "a file where the folder belongs");
    QString failure;
    EXPECT_FALSE(XdgAutostartEntry(QStringLiteral("q")).enable(failure));
    EXPECT_EQ(failure, QStringLiteral("cannot create the folder %1/autostart").arg(configHome()));
}

} // namespace
