// SPDX-License-Identifier: MIT
#include "ui/recorder/ShortcutRecorder.h"

ShortcutRecorderView* ShortcutRecorder::makeView(QWidget* parent) const
{
    auto* view = new ShortcutRecorderView(layout, parent);
    view->setShortcut(shortcut);
    view->onRecord = onRecord;
    view->onRecordingChange = onRecordingChange;
    return view;
}

void ShortcutRecorder::update(ShortcutRecorderView& view) const
{
    view.onRecord = onRecord;
    view.onRecordingChange = onRecordingChange;
    if (!view.isRecording())
        view.setShortcut(shortcut);
}
