// SPDX-License-Identifier: MIT
#pragma once

#include "capture/PasteBack.h"
#include "core/Clock.h"

#include <chrono>

class AccessibleTextEditor;
class FrontmostWindows;
class KeystrokeSender;
class Pasteboard;
class Preferences;

// Puts a result over the user's selection. When the selection was read through the
// accessibility service, the result is written straight into the element it came from
// (delete the range, insert the result, caret after it): no clipboard, no keys, no need for
// the window to be in front. That route is taken only for toolkits measured to handle it
// well, never for terminals or single-line Qt fields (whose undo history it wipes), and
// not when the user default "forcePasteReplace" is set; whenever it is not taken or the
// element refuses, the reason is logged and the result is pasted.
//
// Pasting: the result goes on the clipboard, marked as
// transient so clipboard managers do not keep it, the application it came from is
// activated again, the paste command is typed into it, and 400 ms later the previous
// clipboard contents are put back, unless someone else wrote the clipboard in between.
// When another client holds the keyboard at the moment of the paste, nothing is typed and
// the result is left on the clipboard. Holds no state between calls. The ports, the clock and the
// preferences are borrowed and must outlive it. Main thread only.
class Replacer final : public PasteBack {
public:
    Replacer(FrontmostWindows& windows, KeystrokeSender& keys, Pasteboard& pasteboard,
             AccessibleTextEditor& editor, Clock& clock, const Preferences& preferences);

    QCoro::Task<> paste(QString text, std::optional<TargetApplication> target) override;
    void copy(const QString& text) override;
    bool canInsert(const std::optional<TargetApplication>& target) const override;

    static constexpr std::chrono::milliseconds activationWait{300};
    static constexpr std::chrono::milliseconds readDelay{400};

    // Why the selection's element cannot take the result directly; empty when it can.
    QString pasteReason(const std::optional<TargetApplication>& target) const;

private:
    bool writeDirectly(const QString& text, const std::optional<TargetApplication>& target);

    FrontmostWindows& m_windows;
    KeystrokeSender& m_keys;
    Pasteboard& m_pasteboard;
    AccessibleTextEditor& m_editor;
    Clock& m_clock;
    const Preferences& m_preferences;
};
