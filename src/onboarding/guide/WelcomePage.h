// SPDX-License-Identifier: MIT
#pragma once

#include "core/DoubleTapModifier.h"
#include "ui/recorder/ShortcutRecorder.h"

#include <QWidget>
#include <optional>

class QComboBox;
class QLabel;

// The guide's first page: what Quillmark does, the shortcut recorder and the double-tap
// picker. It shows what the guide hands it and reports the picker's choice.
class WelcomePage : public QWidget {
    Q_OBJECT

public:
    explicit WelcomePage(const ShortcutRecorder& recorder, QWidget* parent = nullptr);

    void render(const ShortcutRecorder& recorder, const std::optional<QString>& shortcutError,
                DoubleTapModifier doubleTap);

    ShortcutRecorderView& recorder() const { return *m_recorder; }
    QComboBox& doubleTapPicker() const { return *m_picker; }
    // The error under the recorder; empty while there is none.
    QString shortcutError() const;
    QString doubleTapHint() const;

signals:
    void doubleTapChosen(DoubleTapModifier modifier);

private:
    ShortcutRecorderView* m_recorder;
    QLabel* m_error;
    QComboBox* m_picker;
    QLabel* m_doubleTapHint;
};
