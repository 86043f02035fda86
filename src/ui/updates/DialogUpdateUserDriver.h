// SPDX-License-Identifier: MIT
#pragma once

#include "ui/updates/DesktopNotice.h"
#include "ui/updates/UpdateDialog.h"
#include "updates/UpdateUserDriver.h"

#include <QPointer>

// Updates shown as a small dialog. A check the user asked for brings the dialog to the
// front; one found by the schedule opens it behind the user's work and posts a desktop
// notification that brings it forward when clicked.
class DialogUpdateUserDriver final : public UpdateUserDriver {
public:
    explicit DialogUpdateUserDriver(QString currentVersion);
    ~DialogUpdateUserDriver() override;

    void activate() override;
    void postNotice(const UpdateOffer& offer) override;
    void clearNotice() override;
    void showUpdateFound(const UpdateOffer& offer,
                         std::function<void(UpdateChoice)> reply) override;
    void showMessage(const QString& title, const QString& text) override;
    void dismiss() override;

    UpdateDialog* dialog() const { return m_dialog; }

private:
    void bringForward();

    QString m_currentVersion;
    DesktopNotice m_notice;
    QPointer<UpdateDialog> m_dialog;
    bool m_activateNext = false;
};
