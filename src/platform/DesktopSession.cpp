// SPDX-License-Identifier: MIT
#include "platform/DesktopSession.h"

#include <QStringList>
#include <QtGlobal>

namespace {

DesktopSession::Desktop desktopFrom(const DesktopSession::Lookup& variable)
{
    using Desktop = DesktopSession::Desktop;
    // Listed most specific first ("ubuntu:GNOME", "KDE"); the first name known wins.
    const QStringList names = variable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
    for (const QString& name : names) {
        const QString lower = name.toLower();
        if (lower == u"kde")
            return Desktop::kde;
        if (lower == u"gnome" || lower == u"gnome-classic" || lower == u"gnome-flashback")
            return Desktop::gnome;
        if (lower == u"sway" || lower == u"wlroots" || lower == u"hyprland" || lower == u"river" ||
            lower == u"wayfire" || lower == u"labwc")
            return Desktop::wlroots;
    }
    if (!variable("SWAYSOCK").isEmpty())
        return Desktop::wlroots;
    return Desktop::other;
}

} // namespace

DesktopSession DesktopSession::detect(const Lookup& variable)
{
    DesktopSession session;
    session.hasX11Display = !variable("DISPLAY").isEmpty();
    session.desktop = desktopFrom(variable);
    if (!variable("WAYLAND_DISPLAY").isEmpty() ||
        variable("XDG_SESSION_TYPE").compare(u"wayland", Qt::CaseInsensitive) == 0)
        session.protocol = Protocol::wayland;
    else if (session.hasX11Display)
        session.protocol = Protocol::x11;
    return session;
}

DesktopSession DesktopSession::fromEnvironment()
{
    return detect([](const char* name) { return qEnvironmentVariable(name); });
}

QString DesktopSession::describe() const
{
    switch (protocol) {
    case Protocol::none:
        return QStringLiteral("none");
    case Protocol::x11:
        return QStringLiteral("x11");
    case Protocol::wayland:
        break;
    }
    switch (desktop) {
    case Desktop::kde:
        return QStringLiteral("wayland (KDE)");
    case Desktop::gnome:
        return QStringLiteral("wayland (GNOME)");
    case Desktop::wlroots:
        return QStringLiteral("wayland (wlroots)");
    case Desktop::other:
        break;
    }
    return QStringLiteral("wayland (other desktop)");
}
