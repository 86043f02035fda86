// SPDX-License-Identifier: MIT
#pragma once

#include "core/Callback.h"
#include "input/HotkeyRegistrar.h"
#include "support/fakes/CallJournal.h"

#include <QList>

// Global keys without a desktop. Registration succeeds unless the shortcut was refused
// beforehand; key presses are delivered only for keys that are held, like real grabs.
// Records "hotkey.create", "hotkey.register(DISPLAY)", "hotkey.registerSessionKeys",
// "hotkey.unregisterSessionKeys" and "hotkey.suspend".
class FakeHotkeyRegistrar final : public HotkeyRegistrar {
public:
    FakeHotkeyRegistrar(CallJournal& journal, KeyCharacters& layout)
        : m_journal(journal)
        , m_layout(layout)
    {
        m_journal.record(QStringLiteral("hotkey.create"));
    }

    bool registerShortcut(const HotkeyShortcut& shortcut) override
    {
        m_journal.record(
            QStringLiteral("hotkey.register(%1)").arg(shortcut.displayString(m_layout)));
        if (m_refused.contains(shortcut))
            return false;
        m_current = shortcut;
        m_registered = true;
        return true;
    }
    void registerSessionKeys() override
    {
        m_journal.record(QStringLiteral("hotkey.registerSessionKeys"));
        m_sessionKeys = true;
    }
    void unregisterSessionKeys() override
    {
        m_journal.record(QStringLiteral("hotkey.unregisterSessionKeys"));
        m_sessionKeys = false;
    }
    void suspend() override
    {
        m_journal.record(QStringLiteral("hotkey.suspend"));
        m_registered = false;
    }
    std::optional<HotkeyShortcut> current() const override { return m_current; }
    bool hasRegisteredHotkey() const override { return m_registered; }

    // Another client holds this combination from now on.
    void refuse(const HotkeyShortcut& shortcut) { m_refused.append(shortcut); }

    // The user presses the main shortcut, Escape or ⌥N.
    void pressHotkey()
    {
        if (!m_registered)
            return;
        invokeIfSet(onAnyHotkey);
        invokeIfSet(onHotkey);
    }
    void pressEscape()
    {
        if (!m_sessionKeys)
            return;
        invokeIfSet(onAnyHotkey);
        invokeIfSet(onEscape);
    }
    void pressActionKey(int number)
    {
        if (!m_sessionKeys)
            return;
        invokeIfSet(onAnyHotkey);
        invokeIfSet(onActionKey, number);
    }

private:
    CallJournal& m_journal;
    KeyCharacters& m_layout;
    QList<HotkeyShortcut> m_refused;
    std::optional<HotkeyShortcut> m_current;
    bool m_registered = false;
    bool m_sessionKeys = false;
};
