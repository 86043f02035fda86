// SPDX-License-Identifier: MIT
#pragma once

#include "core/PopoverModel.h"
#include "platform/OutsideClickWatcher.h"
#include "platform/PointerLocator.h"
#include "ui/DesktopGeometry.h"
#include "ui/PopoverPresenter.h"

#include <QObject>
#include <QSizeF>
#include <memory>
#include <optional>

class PopoverPanel;
class Preferences;
class PopoverView;

// Owns the one popover model, the panel window and the view inside it. Shows the panel
// beside the pointer without taking the keyboard (below it, or above it when there is no
// room below), keeps it inside the screen's available area, lets it follow the size the
// view reports, placing it afresh beside the pointer after each change, and
// hides it on Escape, on a click outside, through the model's dismiss hook or when the
// run flow asks. Where Qt cannot know the pointer (Qt through XWayland), the desktop is asked
// through a pointer locator and the panel waits for its answer, bounded; without one it opens
// at the centre of the screen. Main thread only.
//
//   hidden ──show──▶ shown (click watcher installed) ──dismiss──▶ hidden
//                    shown ──show──▶ shown, moved to the new point
//   hidden ──show, pointer still asked──▶ showing ──answer──▶ shown
//                                        showing ──dismiss──▶ hidden
class PopoverController final : public QObject, public PopoverPresenter {
    Q_OBJECT

public:
    // Without a locator the pointer is where the desktop geometry says; a locator and the
    // preferences are borrowed and must outlive the controller.
    PopoverController(std::unique_ptr<OutsideClickWatcher> clickWatcher, Preferences& preferences,
                      std::unique_ptr<DesktopGeometry> desktop = nullptr,
                      PointerLocator* pointer = nullptr);
    ~PopoverController() override;

    PopoverModel& model() override { return m_model; }
    bool isPanelVisible() const override;
    // At the point, or at the pointer when there is none; see the class comment.
    void show(std::optional<QPoint> at) override;
    void locatePointer() override;
    void dismiss(const QString& reason) override;

    PopoverPanel& panel() const { return *m_panel; }
    PopoverView& view() const { return *m_view; }
    // The last usable size the view reported; nothing before the first.
    std::optional<QSizeF> lastContentSize() const { return m_lastContentSize; }

private:
    QCoro::Task<> askForPointer();
    // Shows the panel with this point as its anchor, beside it or centred on it.
    void showAt(QPoint anchor, PanelGeometry::Offset offset);
    void contentSizeChanged(QSizeF size);
    void installClickOutsideMonitor();
    void removeClickOutsideMonitor();
    void clickedSomewhere();
    void place(QPointF point, QSizeF size, PanelGeometry::Offset offset);
    void logLayout() const;

    Preferences& m_preferences;
    PopoverModel m_model;
    std::unique_ptr<OutsideClickWatcher> m_clickWatcher;
    std::unique_ptr<DesktopGeometry> m_desktop;
    std::unique_ptr<PopoverPanel> m_panel;
    PopoverView* m_view;
    std::optional<QSizeF> m_lastContentSize;
    PointerLocator* m_pointer;
    bool m_asking = false;
    // The locator's answer, once it is in and until a show takes it.
    std::optional<std::optional<QPoint>> m_answer;
    bool m_showWhenAnswered = false;
    // The pointer the panel opened at (or the screen's centre), and where it was last put.
    QPoint m_anchor;
    PanelGeometry::Offset m_anchorOffset = PanelGeometry::Offset::besidePointer;
    QPoint m_placedAt;
};
