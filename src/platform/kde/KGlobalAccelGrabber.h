// SPDX-License-Identifier: MIT
#pragma once

#include "platform/GlobalKeyGrabber.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <set>

// Global keys on KDE Plasma, where a Wayland client cannot grab keys itself: each id is an
// action of one kglobalaccel component, reached over the session bus. Setting an action's
// key answers with the keys actually granted, and a key another component holds is left
// out without an error, so the answer is what decides. Presses arrive as the component's
// globalShortcutPressed signal.
//
// An id's action holds one key at a time: taking a new combination under an id that
// holds one replaces it there (kglobalaccel swaps the two at once), and releasing the
// replaced grab's handle does nothing. A refused combination puts the action's previous
// key back. Calls wait for kglobalaccel's answer, which it gives in a few milliseconds,
// at most callTimeoutMs. Main thread only.
class KGlobalAccelGrabber final : public QObject, public GlobalKeyGrabber {
    Q_OBJECT
public:
    // How an action is named: a fixed name kglobalaccel stores the key under, and the
    // name the desktop's shortcut settings show.
    struct ActionName {
        QString unique;
        QString friendly;
    };
    using Naming = std::function<ActionName(uint32_t id)>;

    static constexpr int callTimeoutMs = 1000;

    // The layout names keys and must outlive the grabber; the component is what the
    // desktop's shortcut settings list the actions under.
    KGlobalAccelGrabber(KeyCharacters& layout, Naming naming,
                        ActionName component = {QStringLiteral("quillmark"),
                                                QStringLiteral("Quillmark")});
    // Marks the held actions inactive: their keys stay reserved in the desktop's settings.
    ~KGlobalAccelGrabber() override;

    [[nodiscard]] Grab grab(uint32_t id, const HotkeyShortcut& combination) override;
    void release(Handle handle) override;

    // The key kglobalaccel stores for a combination (Qt's key code with its modifier
    // bits), 0 when it has no such key.
    static int keyCode(const HotkeyShortcut& combination, KeyCharacters& layout);

private Q_SLOTS:
    void onShortcutPressed(const QString& component, const QString& action, qlonglong timestamp);

private:
    struct Held {
        Handle handle;
        int key;
    };

    QStringList actionId(uint32_t id) const;
    // Sets the action's keys; the keys granted, or nothing when kglobalaccel did not answer.
    std::optional<QList<int>> setKeys(uint32_t id, const QList<int>& keys);
    // Registers the component's action once and listens to the component; false when
    // kglobalaccel does not answer.
    bool ensureRegistered(uint32_t id);

    KeyCharacters& m_layout;
    Naming m_naming;
    ActionName m_component;
    bool m_listening = false;
    std::set<uint32_t> m_registered;
    std::map<uint32_t, Held> m_held;
    Handle m_lastHandle = 0;
};
