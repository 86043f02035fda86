// SPDX-License-Identifier: MIT
#include "capture/Replacer.h"

#include "capture/SelectionCapture.h"
#include "capture/TerminalWindows.h"
#include "core/Log.h"
#include "platform/AccessibleTextEditor.h"
#include "platform/FrontmostWindows.h"
#include "platform/KeystrokeSender.h"
#include "platform/Pasteboard.h"
#include "settings/Preferences.h"

namespace {

PasteboardSnapshot plainText(const QString& text)
{
    PasteboardSnapshot::Item item;
    item.insert(QLatin1String(PasteboardType::plainText), text.toUtf8());
    return PasteboardSnapshot{{item}};
}

// The result only passes through the clipboard on its way into the application.
PasteboardSnapshot transientText(const QString& text)
{
    PasteboardSnapshot snapshot = plainText(text);
    snapshot.items[0].insert(QLatin1String(PasteboardType::transient), QByteArray(""));
    snapshot.items[0].insert(QLatin1String(PasteboardType::passwordManagerHint),
                             QByteArray("secret"));
    return snapshot;
}

// The name the log gives the target: its window title, its window class when the title
// is empty, and "frontmost app" when there is neither.
QString nameOf(const std::optional<TargetApplication>& target)
{
    if (target && !target->title.isEmpty())
        return target->title;
    if (target && !target->wmClass.isEmpty())
        return target->wmClass;
    return QStringLiteral("frontmost app");
}

QString whyNot(AccessibleEdit outcome)
{
    switch (outcome) {
    case AccessibleEdit::replaced:
        return {};
    case AccessibleEdit::gone:
        return QStringLiteral("the element is gone");
    case AccessibleEdit::noEditableText:
        return QStringLiteral("the element offers no EditableText");
    case AccessibleEdit::notEditable:
        return QStringLiteral("the element is not editable");
    case AccessibleEdit::textChanged:
        return QStringLiteral("the selected text changed since capture");
    case AccessibleEdit::failed:
        return QStringLiteral("the accessibility service refused the edit");
    }
    return {};
}

} // namespace

Replacer::Replacer(FrontmostWindows& windows, KeystrokeSender& keys, Pasteboard& pasteboard,
                   AccessibleTextEditor& editor, Clock& clock, const Preferences& preferences)
    : m_windows(windows)
    , m_keys(keys)
    , m_pasteboard(pasteboard)
    , m_editor(editor)
    , m_clock(clock)
    , m_preferences(preferences)
{}

QString Replacer::pasteReason(const std::optional<TargetApplication>& target) const
{
    if (!target || !target->accessible)
        return QStringLiteral("the selection was not read through the accessibility service");
    if (m_preferences.flag(DefaultsKey::forcePasteReplace))
        return QStringLiteral("forcePasteReplace is set");
    if (TerminalWindows::isTerminal(m_preferences, target))
        return QStringLiteral("terminals take paste");
    const AccessibleSelection& where = *target->accessible;
    // Measured: GTK 3 and 4 and Qt 6 multi-line edits replace exactly the range and keep
    // their undo. A Qt single-line field loses its undo history; browsers, LibreOffice and
    // the rest are not measured.
    const bool gtk = where.toolkit.startsWith(QLatin1String("GTK"), Qt::CaseInsensitive);
    const bool qt = where.toolkit.startsWith(QLatin1String("Qt"), Qt::CaseInsensitive);
    if (qt && where.singleLine)
        return QStringLiteral("single-line Qt fields lose their undo history");
    if (!gtk && !qt)
        return QStringLiteral("toolkit \"%1\" is not known to take EditableText well")
            .arg(where.toolkit);
    return {};
}

bool Replacer::writeDirectly(const QString& text, const std::optional<TargetApplication>& target)
{
    // A selection copied through the clipboard goes back the same way, as it always did.
    if (!target || !target->accessible)
        return false;
    QString reason = pasteReason(target);
    if (reason.isEmpty()) {
        reason = whyNot(m_editor.replace(*target->accessible, text));
        if (reason.isEmpty()) {
            Log::replace().info(QStringLiteral("replaced via EditableText in %1 (%2 chars)")
                                    .arg(nameOf(target), QString::number(text.size())));
            return true;
        }
    }
    Log::replace().info(QStringLiteral("replacing via paste: %1").arg(reason));
    return false;
}

bool Replacer::canInsert(const std::optional<TargetApplication>& target) const
{
    return m_keys.canPost() || pasteReason(target).isEmpty();
}

void Replacer::copy(const QString& text)
{
    m_pasteboard.write(plainText(text));
}

QCoro::Task<> Replacer::paste(QString text, std::optional<TargetApplication> target)
{
    if (writeDirectly(text, target))
        co_return;

    const PasteboardSnapshot saved = co_await m_pasteboard.snapshot();
    m_pasteboard.write(transientText(text));
    const int64_t ourWrite = m_pasteboard.changeCount();

    // Without a window (a native Wayland application) there is nothing to activate: the
    // panel never took the focus from it.
    if (target && target->windowID != 0 && !m_windows.isActive(*target)) {
        m_windows.activate(*target);
        // The window manager may take a moment, or refuse; after `activationWait` the paste
        // goes to whatever is in front.
        (void)co_await SelectionCapture::waitUntil(
            m_clock, [this, &target] { return m_windows.isActive(*target); },
            [this](std::chrono::milliseconds left) { return m_windows.activeWindowChanged(left); },
            activationWait);
    }

    co_await SelectionCapture::waitForModifierRelease(m_clock, m_keys);
    if (!m_keys.post(EditCommand::paste, TerminalWindows::chordStyle(m_preferences, target))) {
        // Another client took the keyboard while we waited: nothing was typed, and the
        // result stays on the clipboard for the user, this time for managers to keep.
        Log::replace().error(QStringLiteral("secure input enabled — cannot post synthetic ⌘V"));
        PasteboardSnapshot::Item item;
        item.insert(QLatin1String(PasteboardType::plainText), text.toUtf8());
        m_pasteboard.write(PasteboardSnapshot{{item}});
        co_return;
    }
    Log::replace().info(QStringLiteral("posted ⌘V into %1").arg(nameOf(target)));

    // The application reads the clipboard when it handles the keystroke, some time after
    // it was typed; restoring earlier would paste the old contents.
    co_await m_clock.sleep(readDelay);

    if (m_pasteboard.changeCount() != ourWrite) {
        Log::replace().info(QStringLiteral("clipboard changed since our write — leaving it alone"));
        co_return;
    }
    m_pasteboard.write(saved);
    Log::replace().info(QStringLiteral("clipboard restored"));
}
