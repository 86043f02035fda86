// SPDX-License-Identifier: MIT
#include "platform/xdg/FreedesktopTrash.h"
#include "MoveTestSupport.h"

#include <QUrl>

namespace {

class FreedesktopTrashTest : public MoveTest {
protected:
    FreedesktopTrash trash()
    {
        return FreedesktopTrash::inDataHome(fakeClock.clock, root("/data"));
    }
};

TEST_F(FreedesktopTrashTest, KeepsTheItemAndWhereItCameFrom)
{
    const QString item = root("/home/Applications/Quill mark ä.AppImage");
    writeRawFile(item, "old copy");

    QString name;
    EXPECT_EQ(trash().trash(item, &name), std::nullopt);

    EXPECT_EQ(name, "Quill mark ä.AppImage");
    EXPECT_FALSE(QFileInfo::exists(item));
    EXPECT_EQ(readRawFile(root("/data/Trash/files/") + name), "old copy");
    const QByteArray encoded = QUrl::toPercentEncoding(item, "/");
    EXPECT_TRUE(encoded.contains("Quill%20mark%20%C3%A4.AppImage"));
    EXPECT_EQ(readRawFile(root("/data/Trash/info/") + name + ".trashinfo"),
              "[Trash Info]\nPath=" + encoded + "\nDeletionDate=2026-03-15T12:00:00\n");
    EXPECT_EQ(QFile::permissions(root("/data/Trash")) & (QFile::ReadGroup | QFile::ReadOther),
              QFile::Permissions());
}

TEST_F(FreedesktopTrashTest, SameNamesGetNumbersAndAMissingItemLeavesNoRecord)
{
    QStringList names;
    for (const QByteArray contents : {"first", "second", "third"}) {
        writeRawFile(root("/home/Applications/Quillmark.AppImage"), contents);
        QString name;
        ASSERT_EQ(trash().trash(root("/home/Applications/Quillmark.AppImage"), &name),
                  std::nullopt);
        names.append(name);
        EXPECT_EQ(readRawFile(root("/data/Trash/files/") + name), contents);
    }
    EXPECT_EQ(names,
              (QStringList{"Quillmark.AppImage", "Quillmark.AppImage.2", "Quillmark.AppImage.3"}));

    const QString missing = root("/home/Applications/gone");
    EXPECT_EQ(trash().trash(missing, nullptr),
              "“" + missing + "” couldn’t be moved to the Trash: No such file or directory");
    EXPECT_EQ(QDir(root("/data/Trash/info")).entryList(QDir::Files).size(), 3);
}

TEST_F(FreedesktopTrashTest, FoldersGoToTheTrashWhole)
{
    writeRawFile(root("/home/Applications/Quillmark/bin/quillmark"), "binary");
    ASSERT_EQ(trash().trash(root("/home/Applications/Quillmark"), nullptr), std::nullopt);
    EXPECT_EQ(readRawFile(root("/data/Trash/files/Quillmark/bin/quillmark")), "binary");
}

} // namespace
