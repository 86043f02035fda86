// SPDX-License-Identifier: MIT
#pragma once

#include "platform/UrlOpener.h"

// Web pages through the desktop's default browser (xdg-open and its kin).
class DesktopUrlOpener final : public UrlOpener {
public:
    bool open(const QUrl& url) override;
};
