// SPDX-License-Identifier: MIT
#pragma once

#include "updates/AppcastUpdater.h"
#include "updates/UpdateInstaller.h"
#include "updates/UpdateServices.h"
#include "updates/UpdateSessionDelegate.h"
#include "updates/Updater.h"

#include <memory>

// Software updates for the tray application: the updater started at launch with the
// build's feed, the check the user asks for from the menu, and the update the hosted
// service demands, which falls back to the download page whenever the updater cannot
// deliver it. Main thread only.
class UpdateController final : public Updater {
public:
    // Starts the updater (and its schedule) and logs how it is configured. The clock and the
    // configuration are borrowed and must outlive the controller.
    UpdateController(UpdateServices services, Clock& clock, UpdateConfig& config);
    ~UpdateController() override;

    void checkForUpdates() override;
    void updateNow() override;
    bool canCheckForUpdates() const override;

    UpdateSessionDelegate& session() { return *m_session; }
    AppcastUpdater& updater() { return *m_controller; }

private:
    UpdateServices m_services;
    std::unique_ptr<UpdateSessionDelegate> m_session;
    std::unique_ptr<UpdateInstaller> m_installer;
    std::unique_ptr<AppcastUpdater> m_controller;
};
