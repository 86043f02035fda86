// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Driving the test desktop from outside, as a user would: xdotool moves and clicks the
// pointer and types, a real GTK editor (mousepad) is the application in front.
namespace DesktopSession {

// Runs xdotool with the arguments; its standard output, or nothing when it failed.
std::optional<QString> xdotool(const QStringList& arguments);
// Lets the event loop run until the condition holds; false if it did not within a bound
// far beyond what the X server and the window manager need.
[[nodiscard]] bool waitUntil(const std::function<bool()>& condition);
// Puts the pointer at the point and waits until the X server has it there.
[[nodiscard]] bool movePointer(QPoint point);
// Presses and releases a mouse button where the pointer is (1 left, 3 right).
[[nodiscard]] bool click(int button);
// The window that has the keyboard, as the window manager announces it; 0 when none.
quint64 activeWindow();
// A window's place and size on the screen, as the X server has it.
std::optional<QRect> windowGeometry(quint64 window);

// A mousepad window, started on construction and closed on destruction.
class Mousepad {
public:
    Mousepad();
    ~Mousepad();
    Mousepad(const Mousepad&) = delete;
    Mousepad& operator=(const Mousepad&) = delete;

    // 0 when mousepad did not come up.
    quint64 window() const { return m_window; }
    // Places the window and makes it the active one; true when all of it worked.
    [[nodiscard]] bool placeAndActivate(QRect geometry);

private:
    QProcess m_process;
    quint64 m_window = 0;
};

} // namespace DesktopSession
