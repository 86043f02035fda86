// SPDX-License-Identifier: MIT
#include "platform/DesktopSession.h"

#include <QMap>
#include <gtest/gtest.h>

namespace {

TEST(DesktopSessionTest, ProtocolAndDesktopComeFromTheSessionsVariables)
{
    const struct {
        QMap<QString, QString> variables;
        const char* session;
        bool throughXWayland;
    } rows[] = {
        {{}, "none", false},
        {{{"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "KDE"}}, "x11", false},
        {{{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_CURRENT_DESKTOP", "KDE"}},
         "wayland (KDE)",
         false},
        {{{"WAYLAND_DISPLAY", "w"}, {"DISPLAY", ":1"}, {"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}},
         "wayland (GNOME)",
         true},
        {{{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":1"}, {"SWAYSOCK", "/run/s"}},
         "wayland (wlroots)",
         true},
        {{{"WAYLAND_DISPLAY", "w"}, {"XDG_CURRENT_DESKTOP", "Unity:sway"}},
         "wayland (wlroots)",
         false},
        {{{"WAYLAND_DISPLAY", "w"}, {"XDG_CURRENT_DESKTOP", "Budgie"}},
         "wayland (other desktop)",
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.session);
        const DesktopSession session = DesktopSession::detect(
            [&](const char* name) { return row.variables.value(QString::fromLatin1(name)); });
        EXPECT_EQ(session.describe(), row.session);
        EXPECT_EQ(session.runsQtThroughXWayland(), row.throughXWayland);
    }
}

} // namespace
