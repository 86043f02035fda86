// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

// What the user is shown of one update found in the feed.
struct UpdateOffer {
    QString displayVersion;
    QString version;
    // The item's description from the feed: HTML or plain text, often empty.
    QString releaseNotes;
};

enum class UpdateChoice { install, skipThisVersion, remindLater };

// The windows and notices of software updates. The updater decides what happens; this
// only shows it and reports the user's answers. Main thread only.
class UpdateUserDriver {
public:
    UpdateUserDriver() = default;
    UpdateUserDriver(const UpdateUserDriver&) = delete;
    UpdateUserDriver& operator=(const UpdateUserDriver&) = delete;
    virtual ~UpdateUserDriver() = default;

    // The update window comes to the front with keyboard focus, now or as soon as it is
    // shown: the user asked.
    virtual void activate() = 0;
    // Tells the user, without taking focus, that an update is waiting (a desktop
    // notification); replaces an earlier notice. Nothing where notices are unsupported.
    virtual void postNotice(const UpdateOffer& offer) = 0;
    // Withdraws the notice; nothing when none is posted.
    virtual void clearNotice() = 0;

    // Shows the offer. `reply` is called once, later, on the main thread with the user's
    // choice; closing the window counts as remindLater.
    virtual void showUpdateFound(const UpdateOffer& offer,
                                 std::function<void(UpdateChoice)> reply) = 0;
    // A short message the user only acknowledges (nothing newer, or the check failed). It
    // stays up until the user closes it, even after the session is over.
    virtual void showMessage(const QString& title, const QString& text) = 0;
    // Closes the offer window: the session is over.
    virtual void dismiss() = 0;

    // The user turned to the update: clicked its notice or brought its window forward.
    std::function<void()> onUserAttention;
};
