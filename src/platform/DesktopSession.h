// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>

// The kind of graphical session Quillmark was started in, read once at start from the
// session's environment: which display protocol, which desktop, and whether an X display
// (X11 itself, or XWayland beside a Wayland compositor) can be reached. The wiring picks
// each capability's adapter from it.
struct DesktopSession {
    enum class Protocol { none, x11, wayland };
    // The desktop families whose global shortcuts, input and clipboard differ.
    enum class Desktop { other, kde, gnome, wlroots };

    Protocol protocol = Protocol::none;
    Desktop desktop = Desktop::other;
    // DISPLAY is set: an X server, or XWayland in a Wayland session.
    bool hasX11Display = false;

    // A variable's value, empty when it is unset.
    using Lookup = std::function<QString(const char* name)>;
    // WAYLAND_DISPLAY or XDG_SESSION_TYPE=wayland make a Wayland session, whatever
    // DISPLAY says; otherwise DISPLAY makes an X11 one. The desktop comes from
    // XDG_CURRENT_DESKTOP (a colon-separated list, any case) or SWAYSOCK.
    static DesktopSession detect(const Lookup& variable);
    // From this process's environment.
    static DesktopSession fromEnvironment();

    bool isWayland() const { return protocol == Protocol::wayland; }
    // Wayland with XWayland: the Qt interface runs through XWayland, where a window is
    // placed exactly where asked and can be shown without taking the focus.
    bool runsQtThroughXWayland() const { return isWayland() && hasX11Display; }
    // "x11", "wayland (KDE)", "wayland (wlroots)", "none": the form of the log lines.
    QString describe() const;

    bool operator==(const DesktopSession&) const = default;
};
