// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// A modal alert: a short message in bold, a longer explanation under it, and its buttons
// from left to right, the first being the default.
struct Alert {
    QString message;
    QString informativeText;
    QStringList buttons;
};

// Modal warning alerts that block until the user answers. Main thread only.
class AlertPresenter {
public:
    AlertPresenter() = default;
    AlertPresenter(const AlertPresenter&) = delete;
    AlertPresenter& operator=(const AlertPresenter&) = delete;
    virtual ~AlertPresenter() = default;

    // Brings the alert to the front and waits for an answer. The index of the chosen button;
    // -1 when the alert was closed without one or cannot be shown.
    [[nodiscard]] virtual int runModal(const Alert& alert) = 0;
};
