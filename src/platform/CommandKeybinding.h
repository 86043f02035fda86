// SPDX-License-Identifier: MIT
#pragma once

#include "core/HotkeyShortcut.h"

#include <QString>
#include <QStringList>
#include <optional>

// A keyboard shortcut kept in the desktop's own settings that runs a command: where a
// Wayland desktop lets no client hold a global key, it runs `quillmark trigger` for us.
// Quillmark owns one such entry and leaves every other one alone. Main thread only.
class CommandKeybinding {
public:
    CommandKeybinding() = default;
    CommandKeybinding(const CommandKeybinding&) = delete;
    CommandKeybinding& operator=(const CommandKeybinding&) = delete;
    virtual ~CommandKeybinding() = default;

    // The combination Quillmark's entry holds; nothing when there is no entry, or when
    // it holds a key the shortcut model cannot name.
    virtual std::optional<HotkeyShortcut> current() = 0;
    // Creates the entry, or updates it, to run `command` on `shortcut`; false (with a log
    // line) when the desktop refused it.
    virtual bool set(const HotkeyShortcut& shortcut, const QString& command) = 0;
    // Takes the entry out of the desktop's shortcuts; nothing when there is none.
    virtual void remove() = 0;

    // The command line a desktop's keybinding runs (split as a shell splits words): each
    // argument as is when it holds only plain characters, otherwise in single quotes.
    static QString commandLine(const QStringList& arguments)
    {
        QStringList words;
        for (const QString& argument : arguments) {
            bool plain = !argument.isEmpty();
            for (const QChar c : argument)
                plain = plain && (c.isLetterOrNumber() || QStringLiteral("-_./=:,+@%").contains(c));
            words.append(plain ? argument
                               : u'\'' + QString(argument).replace(u'\'', QStringLiteral("'\\''")) +
                                     u'\'');
        }
        return words.join(u' ');
    }
};
