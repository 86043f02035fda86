// SPDX-License-Identifier: MIT
#include "DesktopTestSupport.h"

#include <QCoreApplication>

PasteboardSnapshot unusualClipboard()
{
    const QString html = QStringLiteral("<p>user's <b>rich</b> text</p>");
    QByteArray large(3 * 1024 * 1024 + 7, '\0');
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = char(i * 7 % 251);
    PasteboardSnapshot::Item item;
    item.insert(QStringLiteral("text/html"),
                QByteArray("\xff\xfe", 2) +
                    QByteArray(reinterpret_cast<const char*>(html.utf16()), html.size() * 2));
    item.insert(QStringLiteral("UTF8_STRING"), QByteArray("ends in NUL\0", 12));
    item.insert(QStringLiteral("image/x-quillmark-large"), large);
    return PasteboardSnapshot{{item}};
}

void DesktopTest::SetUp()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs the test desktop: scripts/test-session --x11 -- <test>";
}

AtspiFocusedTextReader& DesktopTest::accessibility()
{
    // The AT-SPI library is set up once per process, as in the application.
    static AtspiFocusedTextReader reader;
    return reader;
}

std::optional<TargetApplication> DesktopTest::waitForActiveWindow(int64_t pid,
                                                                  const QString& wmClass)
{
    std::optional<TargetApplication> active;
    const bool found = waitUntil([&] {
        active = windows.frontmost();
        return active && active->pid == pid && (wmClass.isEmpty() || active->wmClass == wmClass);
    });
    EXPECT_TRUE(found) << "no active " << wmClass.toStdString() << " window of process " << pid;
    return found ? active : std::nullopt;
}

bool DesktopTest::selectUntil(const QStringList& keys, const TargetApplication& target,
                              const QString& expected)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        EXPECT_TRUE(xdotool(QStringList{QStringLiteral("key")} + keys));
        if (waitUntil([&] { return accessibility().selectedText(target) == expected; }, 500ms))
            return true;
    }
    return false;
}

bool DesktopTest::ownClipboard(ClipboardOwner& owner,
                               const QList<QPair<QString, QByteArray>>& types)
{
    const int64_t before = pasteboard.changeCount();
    return owner.own(types) && waitUntil([&] { return pasteboard.changeCount() != before; });
}
