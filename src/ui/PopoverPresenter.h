// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <QString>
#include <functional>
#include <optional>

class PopoverModel;

// The floating panel: it owns the one popover model for the life of the process and shows
// or hides the panel that renders it. Main thread only; the callbacks are set by the owner
// and are called on the main thread.
class PopoverPresenter {
public:
    PopoverPresenter() = default;
    PopoverPresenter(const PopoverPresenter&) = delete;
    PopoverPresenter& operator=(const PopoverPresenter&) = delete;
    virtual ~PopoverPresenter() = default;

    // The model behind the panel; always the same object.
    virtual PopoverModel& model() = 0;
    // Whether the panel is on screen; false when no panel can be shown at all.
    virtual bool isPanelVisible() const = 0;
    // Puts the panel on screen at the point, or at the pointer when the point is absent,
    // and calls onDidShow; does nothing when no panel can be shown.
    virtual void show(std::optional<QPoint> at) = 0;
    // The panel is about to open at the pointer: where the desktop must be asked where the
    // pointer is, the question starts now and its answer places the next show() at the
    // pointer. Does nothing where the pointer is always known.
    virtual void locatePointer() {}
    // Takes the panel off screen, logs the reason and calls onDidDismiss, also when it was
    // already hidden; does nothing when no panel can be shown.
    virtual void dismiss(const QString& reason) = 0;

    std::function<void()> onDidShow;
    std::function<void()> onDidDismiss;
};
