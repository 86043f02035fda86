// SPDX-License-Identifier: MIT
// Against the compositor of `scripts/test-session --sway` or `--kwin`: the session's pointer is
// moved through its seat over a native GTK3 editor, which must keep the keyboard.
#include "core/SystemClock.h"
#include "e2e/AccessibilityProbe.h"
#include "platform/wayland/LayerShellPointerLocator.h"
#include "platform/wayland/WaylandConnection.h"
#include "support/ChildProcess.h"
#include "support/DesktopTools.h"
#include "support/ScopedEnvironment.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {

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

TEST(PointerLocatorWaylandTest, FindsThePointerAndLeavesTheKeyboardWithTheEditor)
{
    if (qEnvironmentVariableIsEmpty("QUILLMARK_TEST_SEAT"))
        GTEST_SKIP() << "needs a Wayland test session (scripts/test-session --sway or --kwin)";
    const std::unique_ptr<WaylandConnection> connection = WaylandConnection::open();
    ASSERT_TRUE(connection);
    SystemClock clock;
    LayerShellPointerLocator locator(*connection, clock);
    int overlayKeyboardEnters = 0;
    wl_keyboard* keyboard = wl_seat_get_keyboard(connection->seat());
    wl_keyboard_add_listener(keyboard, &keyboardEnters, &overlayKeyboardEnters);

    // The editor runs natively, so XWayland never sees the pointer over it.
    QTemporaryDir dir;
    const QString text = QStringLiteral("pointer test");
    QFile file(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0);
    file.close();
    ScopedEnvironment environment;
    environment.set("GDK_BACKEND", "wayland");
    ChildProcess editor;
    ASSERT_TRUE(editor.start("mousepad", {"--disable-server", file.fileName()}));
    const auto shows = [&](const QString& prefix) {
        const QStringList shown = AccessibilityProbe(editor.pid()).shownTexts();
        return std::any_of(shown.begin(), shown.end(), [&](const QString& field) {
            return field.endsWith(text) && field.startsWith(prefix);
        });
    };
    ASSERT_TRUE(waitUntil([&] { return shows(text); }));

    for (const QPoint point : {QPoint(100, 80), QPoint(700, 500), QPoint(3, 3)}) {
        SCOPED_TRACE(::testing::Message() << point.x() << "," << point.y());
        ASSERT_TRUE(
            seat("motion " + QByteArray::number(point.x()) + ' ' + QByteArray::number(point.y())));
        // The seat moves the pointer on its own time: ask until the move has landed.
        std::optional<QPoint> found;
        EXPECT_TRUE(waitUntil([&] {
            found = QCoro::waitFor(locator.locate(std::chrono::seconds(2)));
            return found && (*found - point).manhattanLength() <= 1;
        })) << (found ? found->x() : -1)
            << "," << (found ? found->y() : -1);
    }
    // The editor holds the keyboard, which never went to the overlay: an "a" lands in it (typed
    // until one does, as the editor may have been given the keyboard only after the pointer came).
    EXPECT_TRUE(waitUntil([&] { return shows("a") || (seat("key 30 1\nkey 30 0") && false); }));
    EXPECT_EQ(overlayKeyboardEnters, 0);
    wl_keyboard_release(keyboard);
}

} // namespace
