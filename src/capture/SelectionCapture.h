// SPDX-License-Identifier: MIT
#pragma once

#include "capture/SelectionReader.h"
#include "core/Clock.h"

#include <QString>
#include <chrono>
#include <functional>

class FocusedTextReader;
class FrontmostWindows;
class KeystrokeSender;
class Pasteboard;
class Preferences;
class SecureInput;

// Reads the selection of the application in front: first by asking the accessibility
// service for the focused element's selected text, and when that gives nothing usable by
// typing the copy command into the application and reading the clipboard, whose previous
// contents are saved before and always put back after. Holds no state between captures.
// The ports, the clock and the preferences are borrowed and must outlive it. Main thread only.
class SelectionCapture final : public SelectionReader {
public:
    SelectionCapture(FrontmostWindows& windows, FocusedTextReader& focusedText,
                     SecureInput& secureInput, KeystrokeSender& keys, Pasteboard& pasteboard,
                     Clock& clock, const Preferences& preferences);

    QCoro::Task<std::optional<CapturedSelection>> capture() override;

    // Returns as soon as none of Shift, Control, Alt and Super is held and the shortcut's
    // own key is up (keys typed before then would come to us), woken by each change of the
    // keys held; after `keyWait` it logs and returns anyway, so the caller posts its
    // keystroke regardless. The sender is a port that lives as long as the application.
    static QCoro::Task<> waitForModifierRelease(Clock& clock, KeystrokeSender& keys);
    // Waits, for at most `keyWait`, until the shortcut's own key is up: the focused element
    // of the window in front can only be found once that window has the keyboard back.
    static QCoro::Task<> waitForShortcutRelease(Clock& clock, KeystrokeSender& keys);
    // Whether the text has anything but white space and line breaks.
    static bool usable(const QString& text);

    // Waits until `done` holds, asking again each time `wake` completes (the desktop's
    // notice of a change, or the time left running out); false when it still did not hold
    // after `bound` on `clock`.
    using Wake = std::function<QCoro::Task<>(std::chrono::milliseconds left)>;
    static QCoro::Task<bool> waitUntil(Clock& clock, std::function<bool()> done, Wake wake,
                                       std::chrono::milliseconds bound);

    static constexpr std::chrono::milliseconds keyWait{500};
    // How long the application has to answer the copy command.
    static constexpr std::chrono::milliseconds copyWait{480};

private:
    // True once `released` holds, false when it still did not after `keyWait`.
    static QCoro::Task<bool> waitForKeys(Clock& clock, KeystrokeSender& keys,
                                         std::function<bool()> released);
    QCoro::Task<std::optional<AccessibleSelection>>
    readFocusedSelection(const std::optional<TargetApplication>& target);
    QCoro::Task<std::optional<QString>> clipboardFallback(std::optional<TargetApplication> target);

    FrontmostWindows& m_windows;
    FocusedTextReader& m_focusedText;
    SecureInput& m_secureInput;
    KeystrokeSender& m_keys;
    Pasteboard& m_pasteboard;
    Clock& m_clock;
    const Preferences& m_preferences;
};
