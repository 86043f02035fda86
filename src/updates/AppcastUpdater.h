// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "updates/Appcast.h"
#include "updates/UpdateCheckKind.h"
#include "updates/UpdateConfig.h"
#include "updates/UpdateError.h"
#include "updates/UpdateInstaller.h"
#include "updates/UpdateSessionDelegate.h"
#include "updates/UpdateUserDriver.h"

#include <QObject>
#include <QUrl>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

// Reads the appcast, decides whether it holds something newer than this copy, and walks
// one update session at a time through the delegate's callbacks: loaded, found or not
// found, showing, installing, aborted, finished. Checks come from the user or from a
// schedule on the clock. Main thread only.
//
// A session is open from the start of a check until its window is dismissed; while it is
// open no other check starts.
class AppcastUpdater final : public QObject {
public:
    struct Settings {
        std::optional<QUrl> feedURL;
        bool automaticallyChecksForUpdates = false;
        std::chrono::seconds updateCheckInterval{86400};
        // The version of this copy, compared with each item's build version.
        QString currentVersion;
    };

    // Everything but the settings is borrowed and must outlive the updater.
    AppcastUpdater(Settings settings, UpdateSessionDelegate& delegate, UpdateUserDriver& driver,
                   UpdateInstaller& installer, Clock& clock, UpdateConfig& config);
    ~AppcastUpdater() override;

    const Settings& settings() const { return m_settings; }

    // Arms the schedule when automatic checks are on and there is a feed. A check that is
    // overdue since the last launch runs at once.
    void start();
    // A check for the user. While a session is open it brings that session's window
    // forward instead; without a feed it does nothing.
    void checkForUpdates();
    // False without a feed or while a session is open.
    bool canCheckForUpdates() const;
    bool sessionInProgress() const { return m_sessionOpen; }

    // Runs after a session that installed an AppImage: this process must end so the new
    // one can start.
    std::function<void()> onRelaunchRequested;

private:
    QCoro::Task<> runSession(UpdateCheckKind kind);
    void answer(UpdateChoice choice);
    QCoro::Task<> install();
    void abort(const UpdateError& error);
    void finishSession(bool relaunching = false);
    void scheduleNextCheck(std::chrono::milliseconds delay);
    std::optional<AppcastItem> bestItem(const Appcast& appcast) const;

    Settings m_settings;
    UpdateSessionDelegate& m_delegate;
    UpdateUserDriver& m_driver;
    UpdateInstaller& m_installer;
    Clock& m_clock;
    UpdateConfig& m_config;
    std::unique_ptr<ClockTimer> m_schedule;
    std::unique_ptr<ClockTimer> m_firedSchedule;
    bool m_sessionOpen = false;
    UpdateCheckKind m_kind = UpdateCheckKind::userInitiated;
    std::optional<AppcastItem> m_item;
};
