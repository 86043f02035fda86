// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

// The tray icon and its menu. Creating the object puts the icon in the tray. Main thread
// only; the menu's commands arrive as callbacks on the main thread.
class StatusItem {
public:
    StatusItem() = default;
    StatusItem(const StatusItem&) = delete;
    StatusItem& operator=(const StatusItem&) = delete;
    virtual ~StatusItem() = default;

    // Highlights the icon briefly; nothing when there is no tray.
    virtual void flash() = 0;

    std::function<void()> onOpenSettings;
    std::function<void()> onCheckForUpdates;
    std::function<void()> onShowGuide;
    // Whether the Check for Updates… item is enabled; enabled when not set.
    std::function<bool()> canCheckForUpdates;
};
