// SPDX-License-Identifier: MIT
// The copy command's clipboard adapter over Qt's in-process clipboard (the offscreen
// platform).
#include "platform/qt/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

namespace {

TEST(QtClipboardTest, CopyWritesPlainText)
{
    QtClipboard clipboard;

    clipboard.writeString(QStringLiteral("Grüße 👋"));

    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->formats().contains(QStringLiteral("text/plain")));
    EXPECT_EQ(data->data(QStringLiteral("text/plain")), QStringLiteral("Grüße 👋").toUtf8());
}

} // namespace
