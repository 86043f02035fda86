// SPDX-License-Identifier: MIT
#pragma once

#include "platform/UrlOpener.h"
#include "updates/Appcast.h"
#include "updates/UpdateCheckKind.h"
#include "updates/UpdateError.h"
#include "updates/UpdateUserDriver.h"

class UpdateConfig;

// Follows one update session from the feed to the install, logging every step, and keeps
// the user's attention in step with it: the update window comes to the front for a check
// the user asked for, while one found by the schedule waits behind a desktop notice.
// Also remembers whether the hosted service forced the check, so that a forced check that
// finds nothing still gets the user to the download page. Main thread only.
class UpdateSessionDelegate {
public:
    // The driver, the opener and the configuration are borrowed and must outlive the delegate.
    UpdateSessionDelegate(UpdateUserDriver& driver, UrlOpener& urls, const UpdateConfig& config);
    UpdateSessionDelegate(const UpdateSessionDelegate&) = delete;
    UpdateSessionDelegate& operator=(const UpdateSessionDelegate&) = delete;

    bool forcedByServer() const { return m_forcedByServer; }
    void setForcedByServer(bool forced) { m_forcedByServer = forced; }

    // Scheduled finds are shown without taking the focus.
    bool supportsGentleScheduledUpdateReminders() const { return true; }
    void willHandleShowingUpdate(const AppcastItem& item, UpdateCheckKind kind);
    void didReceiveUserAttention(const AppcastItem& item);
    void willFinishUpdateSession();

    void didFinishLoading(const Appcast& appcast);
    void didFindValidUpdate(const AppcastItem& item);
    void didNotFindUpdate(const UpdateError& error);
    void willInstallUpdate(const AppcastItem& item);
    void didAbortWithError(const UpdateError& error);

    // The download page in the browser; nothing when the build has no site address.
    void openDownloadPage();

private:
    UpdateUserDriver& m_driver;
    UrlOpener& m_urls;
    const UpdateConfig& m_config;
    bool m_forcedByServer = false;
};
