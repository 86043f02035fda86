// SPDX-License-Identifier: MIT
#include "platform/DesktopSession.h"

#include <QMap>
#include <gtest/gtest.h>

namespace {

TEST(DesktopSessionTest, ProtocolAndDesktopComeFromTheSessionsVariables)
{
    const struct {
        const char* session;
        bool throughXWayland;
        QMap<QString, QString> variables;
    } rows[] = {
        {"none", false, {}},
        {"x11", false, {{"DISPLAY", ":0"}, {"XDG_CURRENT_DESKTOP", "KDE"}}},
        {"wayland (GNOME)",
         true,
         {{"WAYLAND_DISPLAY", "w"}, {"DISPLAY", ":1"}, {"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}},
        {"wayland (wlroots)",
         true,
         {{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":1"}, {"SWAYSOCK", "/run/s"}}},
        {"wayland (other desktop)",
         false,
         {{"WAYLAND_DISPLAY", "w"}, {"XDG_CURRENT_DESKTOP", "X"}}},
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
