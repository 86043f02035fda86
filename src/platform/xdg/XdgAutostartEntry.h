// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Launch at login through the desktop's autostart folder: the entry
// $XDG_CONFIG_HOME/autostart/quillmark.desktop starts the program when the user logs in.
// The state is read from the file every time, so it follows changes made elsewhere (a
// session manager that sets Hidden=true, the user deleting the file). Main thread only.
class XdgAutostartEntry {
public:
    // The program the entry starts: the AppImage when running from one, else this
    // executable.
    static QString currentProgram();

    explicit XdgAutostartEntry(QString program = currentProgram());

    // $XDG_CONFIG_HOME/autostart/quillmark.desktop, with ~/.config when XDG_CONFIG_HOME is
    // unset or relative.
    static QString path();

    // True exactly when the entry exists and is not switched off (Hidden=true or
    // X-GNOME-Autostart-enabled=false).
    bool isEnabled() const;
    // Writes the entry; false with the reason in `failure` when it could not be written.
    [[nodiscard]] bool enable(QString& failure) const;
    // Removes the entry; removing a missing entry succeeds.
    [[nodiscard]] bool disable(QString& failure) const;

    // The entry's text for `program`.
    static QByteArray contents(const QString& program);

private:
    QString m_program;
};
