// SPDX-License-Identifier: MIT
// The Wayland key senders typing into a real GTK 3 editor (mousepad on the native backend)
// on the compositor of scripts/test-session --sway (virtual keyboard) or --kwin (fake
// input). The clipboard is read and written with wl-paste and wl-copy, which speak data
// control; the session's own keyboard selects and moves the caret.
#include "core/SystemClock.h"
#include "platform/wayland/FakeInputSender.h"
#include "platform/wayland/ForeignToplevelWindows.h"
#include "platform/wayland/VirtualKeyboardSender.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandKeymap.h"
#include "support/ChildProcess.h"
#include "support/DesktopTools.h"
#include "support/ScopedEnvironment.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct SenderRow {
    const char* name;
    bool (*isOffered)(const WaylandConnection&);
    std::unique_ptr<KeystrokeSender> (*make)(WaylandConnection&, const WaylandKeymap&);
};
template <class Sender>
std::unique_ptr<KeystrokeSender> make(WaylandConnection& connection, const WaylandKeymap& keymap)
{
    return std::make_unique<Sender>(connection, keymap);
}
const SenderRow senders[] = {
    {"virtual keyboard", &VirtualKeyboardSender::isOffered, &make<VirtualKeyboardSender>},
    {"fake input", &FakeInputSender::isOffered, &make<FakeInputSender>},
};

// A triple click on the editor's only line selects all of it.
void selectLine()
{
    QStringList clicks{"motion 300 300"};
    for (int i = 0; i < 3; ++i)
        clicks << "button 272 1"
               << "button 272 0";
    ASSERT_TRUE(waylandSeat(clicks));
}

QByteArray selection(const QString& which = QStringLiteral("--no-newline"))
{
    return runTool(QStringLiteral("wl-paste"), {QStringLiteral("--no-newline"), which}).output;
}

// Selects the editor's whole text and copies it with the sender until the clipboard holds
// `expected`: the first presses may come before the editor has the focus.
bool copiesAll(KeystrokeSender& sender, const QByteArray& expected)
{
    return waitUntil([&] {
        selectLine();
        return sender.post(EditCommand::copy, ChordStyle::standard) &&
               waitUntil([&] { return selection() == expected; }, 500ms);
    });
}

TEST(KeySendersWaylandTest, CopyAndPasteReachAGtkEditor)
{
    auto connection = WaylandConnection::open();
    const auto row = std::find_if(std::begin(senders), std::end(senders), [&](const auto& row) {
        return connection && row.isOffered(*connection);
    });
    if (row == std::end(senders) || qEnvironmentVariableIsEmpty("QUILLMARK_TEST_SEAT"))
        GTEST_SKIP() << "needs a Wayland session (scripts/test-session --sway or --kwin)";
    SCOPED_TRACE(row->name);
    WaylandKeymap keymap(*connection);
    const auto sender = row->make(*connection, keymap);
    // Until the compositor has sent the user's layout nothing is typed.
    EXPECT_FALSE(sender->post(EditCommand::copy, ChordStyle::standard));
    ASSERT_TRUE(waitUntil([&] { return keymap.isReady(); }));

    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("typed on Wayland") > 0);
    file.close();
    ScopedEnvironment environment;
    environment.set("GDK_BACKEND", "wayland");
    ChildProcess editor;
    ASSERT_TRUE(editor.start(QStringLiteral("mousepad"),
                             {QStringLiteral("--disable-server"), file.fileName()}));

    // A clipboard owner that answers: reading one that never does (KWin's bridge to an empty
    // X11 clipboard) would hang.
    runTool(QStringLiteral("wl-copy"), {}, "before");
    ASSERT_TRUE(waitUntil([] { return selection() == "before"; }));
    ASSERT_TRUE(copiesAll(*sender, "typed on Wayland"));
    runTool(QStringLiteral("wl-copy"), {}, "pasted on Wayland");
    ASSERT_TRUE(waitUntil([] { return selection() == "pasted on Wayland"; }));
    // The paste replaces what is selected; the line, selected again, is read from the
    // primary selection, so the clipboard does not answer for the editor.
    EXPECT_TRUE(sender->post(EditCommand::paste, ChordStyle::standard));
    EXPECT_TRUE(waitUntil([] {
        selectLine();
        return waitUntil(
            [] { return selection(QStringLiteral("--primary")).contains("pasted on Wayland"); },
            500ms);
    }));

    // wlroots names the window in front by its application id, which tells terminals apart.
    if (ForeignToplevelWindows::isOffered(*connection)) {
        SystemClock clock;
        ForeignToplevelWindows windows(*connection, nullptr, clock);
        std::optional<TargetApplication> front;
        EXPECT_TRUE(waitUntil([&] {
            front = windows.frontmost();
            return front && front->wmClass.contains("mousepad", Qt::CaseInsensitive);
        })) << (front ? front->wmClass.toStdString() : "nothing in front");
    }
}

} // namespace
