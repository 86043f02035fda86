// SPDX-License-Identifier: MIT
#pragma once

#include "platform/GlobalKeyGrabber.h"

#include <QList>
#include <QStringList>

// A desktop that grants every combination nobody holds. Each grab and release is recorded in
// `calls` as "grab ID DISPLAY" and "release ID DISPLAY" ("release unknown" for a handle that
// is not held), and press() delivers a press to every grab holding the combination, as the
// desktop would.
class FakeKeyGrabber final : public GlobalKeyGrabber {
public:
    // The layout names the keys in `calls`.
    explicit FakeKeyGrabber(KeyCharacters& layout)
        : m_layout(layout)
    {}

    Grab grab(uint32_t id, const HotkeyShortcut& combination) override
    {
        calls.append(u"grab %1 %2"_qs.arg(id).arg(combination.displayString(m_layout)));
        if (m_refused.contains(combination) || !holders(combination).isEmpty())
            return {heldElsewhere, 0};
        m_held.append({++m_lastHandle, id, combination});
        return {ok, m_lastHandle};
    }

    void release(Handle handle) override
    {
        for (qsizetype i = 0; i < m_held.size(); ++i) {
            if (m_held[i].handle == handle) {
                calls.append(u"release %1 %2"_qs.arg(m_held[i].id)
                                 .arg(m_held[i].combination.displayString(m_layout)));
                m_held.removeAt(i);
                return;
            }
        }
        calls.append(u"release unknown"_qs);
    }

    // Another client holds the combination from now on.
    void refuse(const HotkeyShortcut& combination) { m_refused.append(combination); }

    // The user presses the combination. False when nothing here holds it, so the key went to
    // the application in front.
    bool press(const HotkeyShortcut& combination)
    {
        const QList<uint32_t> ids = holders(combination);
        for (uint32_t id : ids) {
            if (onPressed)
                onPressed(id);
        }
        return !ids.isEmpty();
    }

    QStringList calls;

private:
    struct Held {
        Handle handle;
        uint32_t id;
        HotkeyShortcut combination;
    };
    QList<uint32_t> holders(const HotkeyShortcut& combination) const
    {
        QList<uint32_t> ids;
        for (const Held& entry : m_held) {
            if (entry.combination == combination)
                ids.append(entry.id);
        }
        return ids;
    }

    KeyCharacters& m_layout;
    QList<Held> m_held;
    QList<HotkeyShortcut> m_refused;
    Handle m_lastHandle = 0;
};
