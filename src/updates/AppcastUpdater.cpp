// SPDX-License-Identifier: MIT
#include "updates/AppcastUpdater.h"

#include "ai/HttpExchange.h"
#include "core/AppIdentity.h"
#include "core/Callback.h"
#include "core/Log.h"
#include "updates/UpdateConfig.h"
#include "updates/VersionComparator.h"

#include <QPointer>

namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds feedTimeout = 30s;

UpdateOffer offerOf(const AppcastItem& item)
{
    return {item.displayVersionString, item.versionString, item.itemDescription};
}

} // namespace

AppcastUpdater::AppcastUpdater(Settings settings, UpdateSessionDelegate& delegate,
                               UpdateUserDriver& driver, UpdateInstaller& installer, Clock& clock,
                               UpdateConfig& config)
    : m_settings(std::move(settings))
    , m_delegate(delegate)
    , m_driver(driver)
    , m_installer(installer)
    , m_clock(clock)
    , m_config(config)
{
    m_driver.onUserAttention = [this] {
        if (m_sessionOpen && m_item)
            m_delegate.didReceiveUserAttention(*m_item);
    };
}

AppcastUpdater::~AppcastUpdater()
{
    m_driver.onUserAttention = nullptr;
}

void AppcastUpdater::start()
{
    if (!m_settings.automaticallyChecksForUpdates || !m_settings.feedURL)
        return;
    const std::chrono::milliseconds interval = m_settings.updateCheckInterval;
    const QDateTime now = m_clock.wallNow();
    const std::optional<QDateTime> last = m_config.lastCheck();
    if (!last) {
        // A first launch is not the moment to bother anyone: the schedule starts now.
        m_config.setLastCheck(now);
        scheduleNextCheck(interval);
        return;
    }
    // A last check in the future means the wall clock was set back; wait a whole interval.
    const std::chrono::milliseconds since(last->msecsTo(now));
    scheduleNextCheck(std::clamp(interval - since, 0ms, interval));
}

void AppcastUpdater::checkForUpdates()
{
    if (!m_settings.feedURL)
        return;
    if (m_sessionOpen) {
        m_driver.activate();
        return;
    }
    runSession(UpdateCheckKind::userInitiated);
}

bool AppcastUpdater::canCheckForUpdates() const
{
    return m_settings.feedURL.has_value() && !m_sessionOpen;
}

void AppcastUpdater::scheduleNextCheck(std::chrono::milliseconds delay)
{
    m_schedule = m_clock.startTimer(delay, [this] {
        // The timer calling this must outlive the call, and the check reschedules; it is
        // kept aside until the next one fires.
        m_firedSchedule = std::move(m_schedule);
        if (m_sessionOpen) {
            scheduleNextCheck(m_settings.updateCheckInterval);
            return;
        }
        runSession(UpdateCheckKind::scheduled);
    });
}

QCoro::Task<> AppcastUpdater::runSession(UpdateCheckKind kind)
{
    m_sessionOpen = true;
    m_kind = kind;
    m_item.reset();
    m_schedule.reset();

    QPointer<AppcastUpdater> self(this);
    const std::variant<QByteArray, HttpExchange::Failure> fetched =
        co_await HttpExchange::fetch(m_clock, *m_settings.feedURL, feedTimeout);
    if (!self)
        co_return;
    if (const auto* failure = std::get_if<HttpExchange::Failure>(&fetched)) {
        Log::update().error(
            QStringLiteral("appcast download failed: %1").arg(failure->description));
        abort({UpdateErrorCode::appcast,
               QStringLiteral("An error occurred in retrieving update information. Please try "
                              "again later.")});
        co_return;
    }
    const std::optional<Appcast> appcast = Appcast::parse(std::get<QByteArray>(fetched));
    if (!appcast) {
        abort({UpdateErrorCode::appcastParse,
               QStringLiteral("An error occurred while parsing the update feed.")});
        co_return;
    }

    m_delegate.didFinishLoading(*appcast);
    m_item = bestItem(*appcast);
    if (!m_item) {
        const UpdateError upToDate{UpdateErrorCode::noUpdate, QStringLiteral("You’re up to date!")};
        m_delegate.didNotFindUpdate(upToDate);
        if (kind == UpdateCheckKind::userInitiated) {
            m_driver.showMessage(
                upToDate.description,
                QStringLiteral("%1 %2 is currently the newest version available.")
                    .arg(QString::fromUtf8(AppIdentity::name), m_settings.currentVersion));
        }
        finishSession();
        co_return;
    }

    m_delegate.didFindValidUpdate(*m_item);
    m_delegate.willHandleShowingUpdate(*m_item, kind);
    m_driver.showUpdateFound(offerOf(*m_item), [self](UpdateChoice choice) {
        if (self)
            self->answer(choice);
    });
}

void AppcastUpdater::answer(UpdateChoice choice)
{
    if (!m_sessionOpen || !m_item)
        return;
    switch (choice) {
    case UpdateChoice::install:
        install();
        return;
    case UpdateChoice::skipThisVersion:
        m_config.setSkippedVersion(m_item->versionString);
        finishSession();
        return;
    case UpdateChoice::remindLater:
        finishSession();
        return;
    }
}

QCoro::Task<> AppcastUpdater::install()
{
    QPointer<AppcastUpdater> self(this);
    m_delegate.willInstallUpdate(*m_item);
    const UpdateInstaller::Outcome outcome =
        co_await m_installer.install(*m_item, m_config.downloadPage());
    if (!self)
        co_return;
    if (const auto* error = std::get_if<UpdateError>(&outcome)) {
        abort(*error);
        co_return;
    }
    finishSession(std::get<UpdateInstaller::Installed>(outcome).relaunching);
}

void AppcastUpdater::abort(const UpdateError& error)
{
    m_delegate.didAbortWithError(error);
    if (m_kind == UpdateCheckKind::userInitiated)
        m_driver.showMessage(QStringLiteral("Update Error!"), error.description);
    finishSession();
}

void AppcastUpdater::finishSession(bool relaunching)
{
    m_driver.dismiss();
    m_delegate.willFinishUpdateSession();
    m_sessionOpen = false;
    m_item.reset();
    m_config.setLastCheck(m_clock.wallNow());
    if (m_settings.automaticallyChecksForUpdates)
        scheduleNextCheck(m_settings.updateCheckInterval);
    if (relaunching)
        invokeIfSet(onRelaunchRequested);
}

std::optional<AppcastItem> AppcastUpdater::bestItem(const Appcast& appcast) const
{
    // A version the user skipped stays quiet on the schedule but is still offered when
    // they ask.
    const std::optional<QString> skipped =
        m_kind == UpdateCheckKind::scheduled ? m_config.skippedVersion() : std::nullopt;
    std::optional<AppcastItem> best;
    for (const AppcastItem& item : appcast.items) {
        if (VersionComparator::compare(item.versionString, m_settings.currentVersion) <= 0)
            continue;
        if (skipped && VersionComparator::compare(item.versionString, *skipped) == 0)
            continue;
        if (!best || VersionComparator::compare(item.versionString, best->versionString) > 0)
            best = item;
    }
    return best;
}
