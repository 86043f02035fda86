// SPDX-License-Identifier: MIT
// Against the compositor of `scripts/test-session --sway` or `--kwin`: the session's pointer is
// moved through its seat over a native GTK3 editor, which must keep the keyboard.
#include "e2e/AccessibilityProbe.h"
#include "platform/wayland/LayerShellPointerLocator.h"
#include "platform/wayland/WaylandConnection.h"
#include "support/ChildProcess.h"
#include "support/DesktopTools.h"
#include "support/ScopedEnvironment.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {

const QString text = QStringLiteral("pointer test");

// One line to the session's keyboard and pointer (see tests/support/wayland_seat.cpp).
bool seat(const QByteArray& command)
{
    QFile pipe(qEnvironmentVariable("QUILLMARK_TEST_SEAT"));
    return pipe.open(QIODevice::WriteOnly) && pipe.write(command + '\n') > 0;
}

// Counts the keyboard entering any surface of the connection: the locator's is its only one.
const wl_keyboard_listener keyboardEnters = {
    .keymap = [](void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { close(fd); },
    .enter = [](void* count, wl_keyboard*, uint32_t, wl_surface*,
                wl_array*) { ++*static_cast<int*>(count); },
    .leave = [](void*, wl_keyboard*, uint32_t, wl_surface*) {},
    .key = [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {},
    .modifiers = [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {},
    .repeat_info = [](void*, wl_keyboard*, int32_t, int32_t) {},
};

class PointerLocatorWaylandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QUILLMARK_TEST_SEAT"))
            GTEST_SKIP() << "needs a Wayland test session (scripts/test-session --sway or --kwin)";
        connection = WaylandConnection::open();
        ASSERT_TRUE(connection);
        locator = std::make_unique<LayerShellPointerLocator>(*connection);
        keyboard = wl_seat_get_keyboard(connection->seat());
        wl_keyboard_add_listener(keyboard, &keyboardEnters, &overlayKeyboardEnters);

        // The editor runs natively, so XWayland never sees the pointer over it.
        QFile file(dir.filePath(QStringLiteral("notes.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0);
        file.close();
        environment.set("GDK_BACKEND", "wayland");
        ASSERT_TRUE(editor.start(QStringLiteral("mousepad"),
                                 {QStringLiteral("--disable-server"), file.fileName()}));
        // Typed before the window holds the keyboard, a key goes nowhere: type until one lands.
        ASSERT_TRUE(waitUntil([&] {
            const QStringList shown = AccessibilityProbe(editor.pid()).shownTexts();
            for (const QString& field : shown)
                if (field.endsWith(text) && field != text)
                    typedBefore = field.chopped(text.size());
            return !typedBefore.isEmpty() || !(seat("key 48 1") && seat("key 48 0"));
        }));
    }

    // Types the key and waits until the editor's text reads `expected`: the keyboard is
    // still the editor's.
    bool typed(int key, const QString& expected)
    {
        return seat(QByteArray("key ") + QByteArray::number(key) + " 1") &&
               seat(QByteArray("key ") + QByteArray::number(key) + " 0") && waitUntil([&] {
                   return AccessibilityProbe(editor.pid()).shownTexts().contains(expected);
               });
    }

    void TearDown() override
    {
        if (keyboard)
            wl_keyboard_release(keyboard);
    }

    QString typedBefore;
    wl_keyboard* keyboard = nullptr;
    int overlayKeyboardEnters = 0;
    QTemporaryDir dir;
    ScopedEnvironment environment;
    ChildProcess editor;
    std::unique_ptr<WaylandConnection> connection;
    std::unique_ptr<LayerShellPointerLocator> locator;
};

TEST_F(PointerLocatorWaylandTest, FindsThePointerAndLeavesTheKeyboardWithTheEditor)
{
    const QPoint points[] = {{100, 80}, {700, 500}, {3, 3}};
    QString typedAfter;
    for (const QPoint& point : points) {
        SCOPED_TRACE(::testing::Message() << point.x() << "," << point.y());
        ASSERT_TRUE(seat(QByteArray("motion ") + QByteArray::number(point.x()) + ' ' +
                         QByteArray::number(point.y())));
        // The seat moves the pointer on its own time: ask until the move has landed.
        std::optional<QPoint> found;
        EXPECT_TRUE(waitUntil([&] {
            found = QCoro::waitFor(locator->locate(std::chrono::seconds(2)));
            return found && (*found - point).manhattanLength() <= 1;
        })) << (found ? found->x() : -1)
            << "," << (found ? found->y() : -1);
        typedAfter += u'a';
        EXPECT_TRUE(typed(30, typedBefore + typedAfter + text));
    }
    EXPECT_EQ(overlayKeyboardEnters, 0);
}

} // namespace
