// SPDX-License-Identifier: MIT
#pragma once

#include "updates/AppcastItem.h"

#include <QByteArray>
#include <QList>
#include <optional>

// An update feed in the appcast format: an RSS 2.0 document whose items carry their
// versions in the "sparkle" XML namespace and the file in an enclosure.
struct Appcast {
    inline static const QString sparkleNamespace =
        QStringLiteral("http://www.andymatuschak.org/xml-namespaces/sparkle");

    // The items that can update this product, in feed order. Items without a version,
    // without anything to install or open, or meant for another operating system
    // ("sparkle:os" other than "linux") are left out.
    QList<AppcastItem> items;

    // Nothing when the document is not well-formed XML or not an RSS feed.
    static std::optional<Appcast> parse(const QByteArray& document);
};
