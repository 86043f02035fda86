// SPDX-License-Identifier: MIT
#pragma once

#include <QUrl>

// Opens web pages in the user's default browser. Main thread only.
class UrlOpener {
public:
    UrlOpener() = default;
    UrlOpener(const UrlOpener&) = delete;
    UrlOpener& operator=(const UrlOpener&) = delete;
    virtual ~UrlOpener() = default;

    // False when no browser could be asked to open it.
    virtual bool open(const QUrl& url) = 0;
};
