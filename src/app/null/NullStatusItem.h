// SPDX-License-Identifier: MIT
#pragma once

#include "ui/tray/StatusItem.h"

// No tray icon and no menu.
class NullStatusItem final : public StatusItem {
public:
    void flash() override {}
};
