// SPDX-License-Identifier: MIT
#pragma once

#include "core/HotkeyShortcut.h"

#include <QAbstractButton>
#include <functional>
#include <optional>

// The field that records the global shortcut. A click starts recording; the field then
// shows the modifiers held so far, turns the next key press into a HotkeyShortcut and asks
// its host whether to take it. It is a button to assistive technologies ("Keyboard
// shortcut"), and Space starts recording when it has the keyboard focus.
//
//   idle       shows `shortcut`
//     ── click ──▶ recording
//   recording  shows "Press keys…" or the held modifiers followed by "+…"
//     ── click, Escape alone, accepted combination, focus lost, window deactivated,
//        field hidden ──▶ idle
//     ── Backspace or Delete alone ──▶ the default combination, asked for like a recorded one
//     ── refused combination ──▶ recording, modifiers cleared
//
// Its context menu has "Reset to default", which asks the host for the default combination
// whether or not the field records.
//
// While recording, an application-wide event filter takes every key press before shortcuts
// and focus navigation see it, as the global shortcut is suspended by the host meanwhile.
// Main thread only.
class ShortcutRecorderView : public QAbstractButton {
    Q_OBJECT

public:
    // The host's verdict on a recorded combination: nothing means accepted, a text means
    // refused (the host shows the text itself).
    using RecordCallback = std::function<std::optional<QString>(const HotkeyShortcut&)>;

    static constexpr QSize fieldSize{176, 24};

    // The layout names the keys and must outlive the field.
    explicit ShortcutRecorderView(KeyCharacters& layout, QWidget* parent = nullptr);
    // Destroying a recording field removes its key filter but calls nobody back: its hosts
    // are being torn down around it.
    ~ShortcutRecorderView() override;

    RecordCallback onRecord;
    std::function<void(bool isRecording)> onRecordingChange;

    const HotkeyShortcut& shortcut() const { return m_shortcut; }
    void setShortcut(const HotkeyShortcut& shortcut);
    bool isRecording() const { return m_isRecording; }
    // The Carbon mask of the modifiers held during recording.
    uint32_t liveModifiers() const { return m_liveModifiers; }
    // The text drawn in the field.
    QString displayTitle() const;
    // Asks the host for the default combination, as if it had been recorded; ends a
    // recording when the host takes it.
    void resetToDefault();

    QSize sizeHint() const override { return fieldSize; }
    QSize minimumSizeHint() const override { return fieldSize; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void toggleRecording();
    void beginRecording();
    void endRecording();
    void capture(const HotkeyShortcut& recorded);
    void notifyRecordingChange(bool isRecording);
    void setLiveModifiers(uint32_t mask);
    void refresh();

    KeyCharacters& m_layout;
    HotkeyShortcut m_shortcut;
    bool m_isRecording = false;
    uint32_t m_liveModifiers = 0;
    bool m_keyMonitorInstalled = false;
};
