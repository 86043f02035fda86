// SPDX-License-Identifier: MIT
#pragma once

#include "platform/GlobalKeyGrabber.h"

#include <QList>
#include <QStringList>
#include <algorithm>

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
        calls.append(QStringLiteral("grab %1 %2")
                         .arg(QString::number(id), combination.displayString(m_layout)));
        for (const Refusal& refusal : m_refused) {
            if (refusal.combination == combination)
                return {refusal.status, 0};
        }
        if (holds(combination))
            return {heldElsewhere, 0};
        m_held.append({++m_lastHandle, id, combination});
        return {ok, m_lastHandle};
    }

    void release(Handle handle) override
    {
        const auto held = std::find_if(m_held.begin(), m_held.end(), [handle](const Held& entry) {
            return entry.handle == handle;
        });
        if (held == m_held.end()) {
            calls.append(QStringLiteral("release unknown"));
            return;
        }
        calls.append(
            QStringLiteral("release %1 %2")
                .arg(QString::number(held->id), held->combination.displayString(m_layout)));
        m_held.erase(held);
    }

    // Another client holds the combination from now on; grabbing it answers the status.
    void refuse(const HotkeyShortcut& combination, int status = heldElsewhere)
    {
        m_refused.append({combination, status});
    }
    // The other client let it go.
    void allow(const HotkeyShortcut& combination)
    {
        m_refused.removeIf(
            [&](const Refusal& refusal) { return refusal.combination == combination; });
    }

    bool holds(const HotkeyShortcut& combination) const
    {
        return std::any_of(m_held.begin(), m_held.end(),
                           [&](const Held& entry) { return entry.combination == combination; });
    }

    // The user presses the combination. False when nothing here holds it, so the key went to
    // the application in front.
    bool press(const HotkeyShortcut& combination)
    {
        QList<uint32_t> ids;
        for (const Held& entry : m_held) {
            if (entry.combination == combination)
                ids.append(entry.id);
        }
        for (uint32_t id : ids) {
            if (onPressed)
                onPressed(id);
        }
        return !ids.isEmpty();
    }

    QStringList calls;

private:
    KeyCharacters& m_layout;
    struct Held {
        Handle handle;
        uint32_t id;
        HotkeyShortcut combination;
    };
    struct Refusal {
        HotkeyShortcut combination;
        int status;
    };

    QList<Held> m_held;
    QList<Refusal> m_refused;
    Handle m_lastHandle = 0;
};
