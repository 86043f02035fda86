// SPDX-License-Identifier: MIT
#pragma once

#include "core/PopoverModel.h"
#include "ui/PopoverPresenter.h"

// No panel: the model is kept and filled as usual, but nothing is ever put on screen.
class NullPopoverPresenter final : public PopoverPresenter {
public:
    PopoverModel& model() override { return m_model; }
    bool isPanelVisible() const override { return false; }
    void show(std::optional<QPoint>) override {}
    void dismiss(const QString&) override {}

private:
    PopoverModel m_model;
};
