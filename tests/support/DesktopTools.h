// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <cstdint>
#include <functional>

using namespace std::chrono_literals;

// Spins this process's event loop (its loopback servers answer and the clipboard it owns
// is served from there) until the condition holds; false when it did not within the time.
// Waits here are for other processes to get somewhere, never for a time-out of the
// product to pass.
[[nodiscard]] bool waitUntil(const std::function<bool()>& condition,
                             std::chrono::milliseconds timeout = 20s);

struct ToolResult {
    // -1 when the tool could not start, crashed or was killed for taking too long.
    int exitCode = -1;
    QByteArray output;
    QByteArray error;
};

// Runs a desktop tool to its end, feeding it `input`, with the event loop spinning
// meanwhile. A tool that has not ended after ten seconds is killed.
ToolResult runTool(const QString& program, const QStringList& arguments,
                   const QByteArray& input = {});

// xdotool with these arguments; true when it succeeded.
[[nodiscard]] bool xdotool(const QStringList& arguments);
// Commands for the keyboard and pointer of a Wayland test session, one per line ("key 56 1",
// "motion 400 300"; see tests/support/wayland_seat.cpp); false outside such a session.
[[nodiscard]] bool waylandSeat(const QStringList& commands);

// The bytes of one type of an X selection ("clipboard" or "primary") as another client
// receives them: what a paste would get.
QByteArray selectionBytes(const QString& selection, const QString& type);
// The types the owner of the selection offers.
QStringList selectionTypes(const QString& selection);

// The windows of a process that are on screen, as "id title" lines (the title is taken
// exactly; xdotool's own name search ignores case).
QStringList visibleWindowsOf(int64_t pid);

// Processes this one started that have not ended (zombies are not counted), as
// "pid name" lines.
QStringList runningChildren();
