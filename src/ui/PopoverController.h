// SPDX-License-Identifier: MIT
#pragma once

#include "core/PopoverModel.h"
#include "platform/OutsideClickWatcher.h"
#include "ui/DesktopGeometry.h"
#include "ui/PopoverPresenter.h"

#include <QObject>
#include <QSizeF>
#include <memory>
#include <optional>

class PopoverPanel;
class PopoverView;

// Owns the one popover model, the panel window and the view inside it. Shows the panel
// beside the pointer without taking the keyboard (below it, or above it when there is no
// room below), keeps it inside the screen's available area, lets it follow the size the
// view reports, placing it afresh beside the pointer after each change, and
// hides it on Escape, on a click outside, through the model's dismiss hook or when the
// run flow asks. Main thread only.
//
//   hidden ──show──▶ shown (click watcher installed) ──dismiss──▶ hidden
//                    shown ──show──▶ shown, moved to the new point
class PopoverController final : public QObject, public PopoverPresenter {
    Q_OBJECT

public:
    explicit PopoverController(std::unique_ptr<OutsideClickWatcher> clickWatcher,
                               std::unique_ptr<DesktopGeometry> desktop = nullptr);
    ~PopoverController() override;

    PopoverModel& model() override { return m_model; }
    bool isPanelVisible() const override;
    // At the point, or at the pointer when there is none; see the class comment.
    void show(std::optional<QPoint> at) override;
    void dismiss(const QString& reason) override;

    PopoverPanel& panel() const { return *m_panel; }
    PopoverView& view() const { return *m_view; }
    // The last usable size the view reported; nothing before the first.
    std::optional<QSizeF> lastContentSize() const { return m_lastContentSize; }

private:
    void contentSizeChanged(QSizeF size);
    void installClickOutsideMonitor();
    void removeClickOutsideMonitor();
    void clickedSomewhere();
    void place(QPointF point, QSizeF size, PanelGeometry::Offset offset);
    void logLayout() const;

    PopoverModel m_model;
    std::unique_ptr<OutsideClickWatcher> m_clickWatcher;
    std::unique_ptr<DesktopGeometry> m_desktop;
    std::unique_ptr<PopoverPanel> m_panel;
    PopoverView* m_view;
    std::optional<QSizeF> m_lastContentSize;
    // The pointer the panel opened at, and where it was last put.
    QPoint m_anchor;
    QPoint m_placedAt;
};
