// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ProcessLauncher.h"
#include "platform/UrlOpener.h"
#include "updates/AppcastItem.h"
#include "updates/UpdateError.h"

#include <QObject>
#include <QString>
#include <qcoro/qcorotask.h>
#include <variant>

// Puts a release from the feed in place. A copy running as an AppImage replaces its own
// file with the release's and starts it once this process has quit; any other copy was
// installed by hand or by a package manager, so the user is sent to the download page.
// Main thread only.
class UpdateInstaller final : public QObject {
public:
    struct Installed {
        // The new AppImage starts when this process ends: the caller must quit.
        bool relaunching = false;
        bool operator==(const Installed&) const = default;
    };
    using Outcome = std::variant<Installed, UpdateError>;

    // `appImagePath` is the AppImage this process runs from; empty when it is not one.
    UpdateInstaller(QString appImagePath, UrlOpener& urls, ProcessLauncher& launcher);

    bool replacesAppImage() const { return !m_appImagePath.isEmpty(); }

    // Installs `item`, or opens `downloadPage` when this copy cannot replace itself.
    QCoro::Task<Outcome> install(AppcastItem item, QUrl downloadPage);

private:
    QCoro::Task<Outcome> replaceAppImage(AppcastItem item);

    QString m_appImagePath;
    UrlOpener& m_urls;
    ProcessLauncher& m_launcher;
};
