// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"

#include <QString>
#include <optional>

// The user's Trash as desktops share it: the item goes to "files/" and a record of where
// it came from and when to "info/NAME.trashinfo", so the file manager can put it back.
// Only the home Trash is used; an item on another file system is copied into it.
class FreedesktopTrash {
public:
    // The Trash folder itself, normally $XDG_DATA_HOME/Trash. The clock dates the records and
    // is borrowed; it must outlive the object.
    FreedesktopTrash(Clock& clock, QString trashDir);
    // The home Trash under `dataHome` ($XDG_DATA_HOME).
    static FreedesktopTrash inDataHome(Clock& clock, const QString& dataHome);

    const QString& path() const { return m_dir; }

    // Moves the file at `path` into the Trash. Nothing on success, with the name it got
    // there in `trashedName` when given; otherwise why it could not be trashed, and the
    // item is still where it was.
    [[nodiscard]] std::optional<QString> trash(const QString& path, QString* trashedName) const;

private:
    Clock& m_clock;
    QString m_dir;
};
