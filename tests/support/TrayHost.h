// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <cstdint>

// A system tray on the test desktop (trayer), as a panel provides one, for the life of the
// object: the tray application's icon has somewhere to go.
class TrayHost {
public:
    TrayHost() = default;
    ~TrayHost();
    TrayHost(const TrayHost&) = delete;
    TrayHost& operator=(const TrayHost&) = delete;

    // Starts the tray and waits until it has taken the display's system-tray selection.
    [[nodiscard]] bool start();
    void stop();
    // Whether the tray has taken in a window of the process: an icon that is on show.
    bool holdsWindowOf(int64_t pid);

private:
    QProcess m_process;
};
