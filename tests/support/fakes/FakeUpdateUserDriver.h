// SPDX-License-Identifier: MIT
#pragma once

#include "updates/UpdateUserDriver.h"

#include <QStringList>

// Records what the user would see, one line per call ("activate", "notice 1.4",
// "clear notice", "offer 1.4 (140)", "message You’re up to date! | …", "dismiss"), and
// keeps the offer's reply for the test to answer.
class FakeUpdateUserDriver final : public UpdateUserDriver {
public:
    void activate() override { events.append(QStringLiteral("activate")); }
    void postNotice(const UpdateOffer& offer) override
    {
        events.append(QStringLiteral("notice ") + offer.displayVersion);
    }
    void clearNotice() override { events.append(QStringLiteral("clear notice")); }
    void showUpdateFound(const UpdateOffer& offer, std::function<void(UpdateChoice)> reply) override
    {
        events.append(QStringLiteral("offer %1 (%2)").arg(offer.displayVersion, offer.version));
        pendingReply = std::move(reply);
    }
    void showMessage(const QString& title, const QString& text) override
    {
        events.append(QStringLiteral("message %1 | %2").arg(title, text));
    }
    void dismiss() override { events.append(QStringLiteral("dismiss")); }

    // Answers the open offer as the user would.
    void answer(UpdateChoice choice)
    {
        auto reply = std::exchange(pendingReply, nullptr);
        if (reply)
            reply(choice);
    }

    QStringList events;
    std::function<void(UpdateChoice)> pendingReply;
};
