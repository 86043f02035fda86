// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QUrl>

// One release in the update feed.
struct AppcastItem {
    QString title;
    // The build version the comparison uses ("sparkle:version").
    QString versionString;
    // The version shown to people ("sparkle:shortVersionString"); the build version when
    // the feed gives none.
    QString displayVersionString;
    // The enclosure: the file to install. May be empty for an item that only points to
    // a web page.
    QUrl fileURL;
    // The enclosure's announced size in bytes; 0 when not given.
    qint64 contentLength = 0;
    // The item's web page ("link"), if any.
    QUrl infoURL;
    QString itemDescription;

    bool operator==(const AppcastItem&) const = default;
};
