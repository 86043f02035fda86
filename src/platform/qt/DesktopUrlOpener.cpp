// SPDX-License-Identifier: MIT
#include "platform/qt/DesktopUrlOpener.h"

#include <QDesktopServices>

bool DesktopUrlOpener::open(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}
