// SPDX-License-Identifier: MIT
#pragma once

#include "platform/AlertPresenter.h"

// Alerts as modal warning message boxes, brought to the front: the tray application has
// no window of its own for them to belong to.
class MessageBoxAlertPresenter final : public AlertPresenter {
public:
    int runModal(const Alert& alert) override;
};
