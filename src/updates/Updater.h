// SPDX-License-Identifier: MIT
#pragma once

// Software updates from the product's appcast. Creating the object starts the updater.
// Main thread only.
class Updater {
public:
    Updater() = default;
    Updater(const Updater&) = delete;
    Updater& operator=(const Updater&) = delete;
    virtual ~Updater() = default;

    // A check the user asked for; nothing when updates are unavailable.
    virtual void checkForUpdates() = 0;
    // The update the hosted service demands; nothing when updates are unavailable.
    virtual void updateNow() = 0;
    // Whether a user-initiated check may start now; false when updates are unavailable.
    virtual bool canCheckForUpdates() const = 0;
};
