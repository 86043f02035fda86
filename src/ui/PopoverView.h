// SPDX-License-Identifier: MIT
#pragma once

#include "ui/PopoverViewConfig.h"

#include <QWidget>
#include <optional>

class PopoverEditor;
class PopoverModel;
class Preferences;
class QVBoxLayout;

// Everything inside the floating panel, drawn from the popover model: the editable text
// with the actions, the progress line, the result with its controls, an error with its
// recovery, the notice of missing keyboard access or of no AI service, or the hint to select
// text. Under buttons that do not show their keys, a line names them (Alt+1…, Esc), since
// they work while another application has the keyboard. Buttons only call the model's
// callbacks. The view works out its own size and reports each new size through
// the model's onContentSizeChange; it never resizes the window itself.
class PopoverView : public QWidget {
    Q_OBJECT

public:
    PopoverView(PopoverModel& model, Preferences& preferences, QWidget* parent = nullptr);

    // Reads the preferences again and redraws when they changed the panel's look.
    void refresh();
    // The size the view needs right now, at its fixed width.
    QSize measuredSize() const;

    PopoverEditor& editor() const { return *m_editor; }
    // The part below the editor (or the whole content in states without an editor).
    QWidget* content() const { return m_content; }

signals:
    // The user pressed a mouse button in the editor, which needs the keyboard.
    void editorPressed();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    enum class EditorBinding { none, original, result };

    void rebuild();
    QWidget* makeContent();
    QWidget* makeControls();
    std::optional<QString> keyHint() const;
    void bindEditor(EditorBinding binding);
    void scheduleMeasurement();
    void reportSize();

    PopoverModel& m_model;
    Preferences& m_preferences;
    PopoverViewConfig m_config;
    QVBoxLayout* m_layout;
    PopoverEditor* m_editor;
    QWidget* m_content = nullptr;
    EditorBinding m_binding = EditorBinding::none;
    std::optional<QSize> m_reportedSize;
    bool m_measurementPending = false;
};
