// SPDX-License-Identifier: MIT
// The clipboard adapter over Qt's in-process clipboard (the offscreen platform): what a
// snapshot keeps, that a restore gives the bytes back, and what the change count counts.
#include "platform/qtgui/QtPasteboard.h"
#include "platform/qtgui/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

namespace {

PasteboardSnapshot itemOf(std::initializer_list<std::pair<QString, QByteArray>> types)
{
    PasteboardSnapshot::Item item;
    for (const auto& [type, bytes] : types)
        item.insert(type, bytes);
    return PasteboardSnapshot{{item}};
}

class QtPasteboardTest : public ::testing::Test {
protected:
    void SetUp() override { QGuiApplication::clipboard()->clear(); }

    QtPasteboard pasteboard;
};

TEST_F(QtPasteboardTest, ARestoreGivesBackEveryTypeByteForByte)
{
    const PasteboardSnapshot saved =
        itemOf({{"text/plain", "plain"},
                {"text/html", "<b>rich</b>"},
                {"application/x-binary", QByteArray("\x00\xff\x7f\r\n", 5)},
                {"org.nspasteboard.TransientType", QByteArray("")}});

    pasteboard.write(saved);

    EXPECT_EQ(pasteboard.snapshot(), saved);
    EXPECT_EQ(pasteboard.readText(), QStringLiteral("plain"));
}

TEST_F(QtPasteboardTest, TypesThatCannotBeWrittenBackAreLeftOut)
{
    auto* data = new QMimeData;
    for (const char* type :
         {"TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS", "DELETE", "INSERT_SELECTION",
          "INSERT_PROPERTY", "GTK_TEXT_BUFFER_CONTENTS", "application/x-qt-image", "text/plain",
          "text/uri-list", "x-special/gnome-copied-files", "COMPOUND_TEXT",
          "text/plain;charset=utf-8"})
        data->setData(QString::fromLatin1(type), QByteArray(type));
    QGuiApplication::clipboard()->setMimeData(data);

    const PasteboardSnapshot snapshot = pasteboard.snapshot();

    ASSERT_EQ(snapshot.items.size(), 1);
    EXPECT_EQ(snapshot.items.first().keys(),
              QStringList({"COMPOUND_TEXT", "text/plain", "text/plain;charset=utf-8",
                           "text/uri-list", "x-special/gnome-copied-files"}));
}

TEST_F(QtPasteboardTest, AnEmptySnapshotLeavesTheClipboardEmpty)
{
    pasteboard.write(itemOf({{"text/plain", "something"}}));

    pasteboard.write(PasteboardSnapshot{});

    EXPECT_TRUE(pasteboard.snapshot().isEmpty());
    EXPECT_EQ(pasteboard.readText(), std::nullopt);
}

TEST_F(QtPasteboardTest, WithoutPlainTextThereIsNoText)
{
    pasteboard.write(itemOf({{"image/png", "\x89PNG"}}));

    EXPECT_EQ(pasteboard.readText(), std::nullopt);
    EXPECT_FALSE(pasteboard.snapshot().isEmpty());
}

TEST_F(QtPasteboardTest, TheChangeCountGrowsWithEveryNewContentsWhoeverWritesThem)
{
    const int64_t start = pasteboard.changeCount();

    pasteboard.write(itemOf({{"text/plain", "ours"}}));
    EXPECT_EQ(pasteboard.changeCount(), start + 1);

    QGuiApplication::clipboard()->setText(QStringLiteral("someone else's"));
    EXPECT_EQ(pasteboard.changeCount(), start + 2);

    // Only the CLIPBOARD selection counts, not the mouse selection.
    QGuiApplication::clipboard()->setText(QStringLiteral("selected"), QClipboard::Selection);
    EXPECT_EQ(pasteboard.changeCount(), start + 2);
}

TEST_F(QtPasteboardTest, CopyWritesPlainText)
{
    QtClipboard clipboard;

    clipboard.writeString(QStringLiteral("Grüße 👋"));

    EXPECT_EQ(pasteboard.readText(), QStringLiteral("Grüße 👋"));
    EXPECT_EQ(pasteboard.snapshot(), itemOf({{"text/plain", QStringLiteral("Grüße 👋").toUtf8()}}));
}

} // namespace
