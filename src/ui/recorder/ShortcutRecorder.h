// SPDX-License-Identifier: MIT
#pragma once

#include "ui/recorder/ShortcutRecorderView.h"

// What a host wants its recorder field to show and whom the field should tell. Hosts keep
// one of these as part of their state and hand it to the field whenever that state
// changes; a recording in progress is never disturbed by such an update.
struct ShortcutRecorder {
    KeyCharacters& layout;
    HotkeyShortcut shortcut;
    ShortcutRecorderView::RecordCallback onRecord;
    std::function<void(bool isRecording)> onRecordingChange;

    // A new field showing `shortcut`, owned by `parent`.
    [[nodiscard]] ShortcutRecorderView* makeView(QWidget* parent) const;
    // Replaces both callbacks and, unless the field is recording, the shortcut it shows.
    void update(ShortcutRecorderView& view) const;
};
