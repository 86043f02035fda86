// SPDX-License-Identifier: MIT
#include "updates/UpdateController.h"

#include "core/AppIdentity.h"
#include "core/Log.h"
#include "updates/UpdateConfig.h"

UpdateController::UpdateController(UpdateServices services, Clock& clock, UpdateConfig& config)
    : m_services(std::move(services))
{
    Q_ASSERT(m_services.userDriver && m_services.urlOpener && m_services.launcher);
    m_session = std::make_unique<UpdateSessionDelegate>(*m_services.userDriver,
                                                        *m_services.urlOpener, config);
    m_installer = std::make_unique<UpdateInstaller>(m_services.appImagePath, *m_services.urlOpener,
                                                    *m_services.launcher);
    AppcastUpdater::Settings settings;
    settings.feedURL = config.feedURL();
    settings.automaticallyChecksForUpdates = config.checksAutomatically();
    settings.updateCheckInterval = config.checkInterval();
    settings.currentVersion = AppIdentity::version();
    m_controller = std::make_unique<AppcastUpdater>(
        std::move(settings), *m_session, *m_services.userDriver, *m_installer, clock, config);
    m_controller->onRelaunchRequested = [this] {
        if (m_services.quit)
            m_services.quit();
    };

    const AppcastUpdater::Settings& used = m_controller->settings();
    Log::update().info(
        QStringLiteral("updater started — feed %1, automatic checks %2, interval %3s")
            .arg(used.feedURL ? used.feedURL->toString() : QStringLiteral("MISSING"),
                 used.automaticallyChecksForUpdates ? QStringLiteral("on") : QStringLiteral("off"),
                 QString::number(used.updateCheckInterval.count())));
    m_controller->start();
}

// The updater goes first: it calls into the delegate and the installer until it is gone.
UpdateController::~UpdateController()
{
    m_controller.reset();
}

void UpdateController::checkForUpdates()
{
    Log::update().info(QStringLiteral("check for updates requested from the menu"));
    m_session->setForcedByServer(false);
    m_controller->checkForUpdates();
}

void UpdateController::updateNow()
{
    if (!m_controller->canCheckForUpdates()) {
        Log::update().info(
            QStringLiteral("forced update: updater busy or unavailable — opening the site"));
        m_session->openDownloadPage();
        return;
    }
    Log::update().info(QStringLiteral("forced update: driving Sparkle"));
    m_session->setForcedByServer(true);
    m_controller->checkForUpdates();
}

bool UpdateController::canCheckForUpdates() const
{
    return m_controller->canCheckForUpdates();
}
