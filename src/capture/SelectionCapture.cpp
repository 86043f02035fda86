// SPDX-License-Identifier: MIT
#include "capture/SelectionCapture.h"

#include "capture/TerminalWindows.h"
#include "core/Log.h"
#include "core/RunRules.h"
#include "platform/FocusedTextReader.h"
#include "platform/FrontmostWindows.h"
#include "platform/KeystrokeSender.h"
#include "platform/Pasteboard.h"
#include "platform/SecureInput.h"
#include "settings/Preferences.h"

namespace {

QString capturedLine(const char* method, const QString& text)
{
    return QStringLiteral("captured via %1 (%2 chars)")
        .arg(QLatin1String(method), QString::number(RunRules::characterCount(text)));
}

// Browsers stand U+FFFC, the object replacement character, in for the parts of a selection
// that lie in other elements (another paragraph, a list item): the text read is not what
// the user selected, so the copy command reads it whole instead.
bool holdsWholeText(const QString& text)
{
    return !text.contains(QChar(0xFFFC));
}

} // namespace

SelectionCapture::SelectionCapture(FrontmostWindows& windows, FocusedTextReader& focusedText,
                                   SecureInput& secureInput, KeystrokeSender& keys,
                                   Pasteboard& pasteboard, Clock& clock,
                                   const Preferences& preferences)
    : m_windows(windows)
    , m_focusedText(focusedText)
    , m_secureInput(secureInput)
    , m_keys(keys)
    , m_pasteboard(pasteboard)
    , m_clock(clock)
    , m_preferences(preferences)
{}

bool SelectionCapture::usable(const QString& text)
{
    return !text.trimmed().isEmpty();
}

QCoro::Task<std::optional<CapturedSelection>> SelectionCapture::capture()
{
    // The application is taken first: the copy fallback types into whatever is in front,
    // and paste-back must find the same window even if the user switched meanwhile.
    const std::optional<TargetApplication> target = m_windows.frontmost();

    if (!m_preferences.flag(DefaultsKey::forceClipboardCapture)) {
        const std::optional<AccessibleSelection> selected = co_await readFocusedSelection(target);
        if (selected && usable(selected->text) && holdsWholeText(selected->text)) {
            Log::capture().info(capturedLine("ax", selected->text));
            // Replace writes into the same element when it can, also when the desktop named
            // no window (a native Wayland application).
            TargetApplication where = target.value_or(TargetApplication{});
            where.accessible = *selected;
            co_return CapturedSelection{selected->text, CaptureMethod::ax, where};
        }
    }

    const std::optional<QString> copied = co_await clipboardFallback(target);
    if (copied && usable(*copied)) {
        Log::capture().info(capturedLine("clipboard", *copied));
        co_return CapturedSelection{*copied, CaptureMethod::clipboard, target};
    }

    Log::capture().info(QStringLiteral("no selection captured"));
    co_return std::nullopt;
}

QCoro::Task<std::optional<AccessibleSelection>>
SelectionCapture::readFocusedSelection(const std::optional<TargetApplication>& target)
{
    // While the shortcut's key holds the keyboard, the window in front reports neither its
    // focus nor its focused element. It gets the keyboard back for one read right away; if
    // that finds nothing (the window may not have heard yet), the read is made again once
    // the key is up, as where the keyboard cannot be lent.
    if (m_keys.lendKeyboard()) {
        std::optional<AccessibleSelection> selected = m_focusedText.readSelection(target);
        m_keys.reclaimKeyboard();
        if (selected)
            co_return selected;
    }
    co_await waitForShortcutRelease(m_clock, m_keys);
    co_return m_focusedText.readSelection(target);
}

QCoro::Task<std::optional<QString>>
SelectionCapture::clipboardFallback(std::optional<TargetApplication> target)
{
    // Keys typed while another client holds the keyboard go to that client (a password
    // prompt), so nothing is typed and the clipboard is left alone.
    // The sender asks again right before typing: a prompt may take the keyboard during
    // the waits in between.
    const QString refused = QStringLiteral("secure input enabled — cannot post synthetic ⌘C");
    if (m_secureInput.isActive()) {
        Log::capture().error(refused);
        co_return std::nullopt;
    }

    if (!m_keys.canPost()) {
        Log::capture().info(QStringLiteral("no way to type keys here — copy fallback skipped"));
        co_return std::nullopt;
    }

    co_await waitForModifierRelease(m_clock, m_keys);

    const PasteboardSnapshot saved = co_await m_pasteboard.snapshot();
    const int64_t baseline = m_pasteboard.changeCount();
    if (!m_keys.post(EditCommand::copy, TerminalWindows::chordStyle(m_preferences, target))) {
        Log::capture().error(refused);
        co_return std::nullopt;
    }

    std::optional<QString> copied;
    co_await m_pasteboard.waitForChange(baseline, copyWait);
    // Copying an image changes the clipboard without giving text: nothing then.
    if (m_pasteboard.changeCount() != baseline)
        copied = co_await m_pasteboard.readText();

    // The user's clipboard is put back whether or not the copy arrived: a copy that lands
    // after the wait would otherwise replace it for good.
    m_pasteboard.write(saved);
    co_return copied;
}

QCoro::Task<bool> SelectionCapture::waitUntil(Clock& clock, std::function<bool()> done, Wake wake,
                                              std::chrono::milliseconds bound)
{
    const std::chrono::milliseconds deadline = clock.monotonicNow() + bound;
    while (!done()) {
        const std::chrono::milliseconds now = clock.monotonicNow();
        if (now >= deadline)
            co_return false;
        co_await wake(deadline - now);
    }
    co_return true;
}

QCoro::Task<bool> SelectionCapture::waitForKeys(Clock& clock, KeystrokeSender& keys,
                                                std::function<bool()> released)
{
    return waitUntil(
        clock, std::move(released),
        [sender = &keys](std::chrono::milliseconds left) { return sender->keysChanged(left); },
        keyWait);
}

QCoro::Task<> SelectionCapture::waitForShortcutRelease(Clock& clock, KeystrokeSender& keys)
{
    co_await waitForKeys(clock, keys, [&keys] { return !keys.shortcutKeyHeld(); });
}

QCoro::Task<> SelectionCapture::waitForModifierRelease(Clock& clock, KeystrokeSender& keys)
{
    // The trigger's own modifiers are usually still down when this runs; a copy typed
    // while Alt is held reaches the application as Ctrl+Alt+C, which copies nothing. While
    // the trigger's key itself is down, everything typed goes to us and not to the
    // application at all.
    const bool released = co_await waitForKeys(
        clock, keys, [&keys] { return !keys.relevantModifiersHeld() && !keys.shortcutKeyHeld(); });
    if (!released)
        Log::capture().error(QStringLiteral("modifiers still held after 500ms — posting anyway"));
}
