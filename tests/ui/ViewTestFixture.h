// SPDX-License-Identifier: MIT
#pragma once

#include "core/PopoverModel.h"
#include "settings/Preferences.h"
#include "support/TestEnvironment.h"
#include "ui/PopoverView.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

// A view over its own model in a fresh settings directory, recording its size reports.
class ViewTestFixture {
public:
    ViewTestFixture()
    {
        model.onContentSizeChange = [this](QSizeF size) { reports.append(size); };
    }

    // Builds the view with the preferences set so far and lets it report its first size.
    PopoverView& makeView()
    {
        view = std::make_unique<PopoverView>(model);
        settle();
        return *view;
    }
    // Runs what the view queued (its size reports).
    static void settle() { QCoreApplication::sendPostedEvents(); }

    static void setPreferences(PopoverLayout layout, PanelWidth width = PanelWidth::standard,
                               std::set<PopoverAction> enabled = {PopoverAction::translate,
                                                                  PopoverAction::fixGrammar,
                                                                  PopoverAction::improvePrompt})
    {
        Preferences::setPopoverLayout(layout);
        Preferences::setPanelWidth(width);
        Preferences::setEnabledActions(enabled);
    }

    ScopedConfigHome config;
    PopoverModel model;
    std::unique_ptr<PopoverView> view;
    QList<QSizeF> reports;
};
