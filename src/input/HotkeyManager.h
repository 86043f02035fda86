// SPDX-License-Identifier: MIT
#pragma once

#include "input/HotkeyRegistrar.h"
#include "platform/GlobalKeyGrabber.h"

#include <map>
#include <memory>
#include <span>

// Holds the user's main shortcut and, while the panel is open, the panel's session keys,
// and turns their presses into the registrar's callbacks. The desktop side (who may hold
// which combination, how presses arrive) is the grabber's; the order of taking and giving
// back, the ids and every log line are decided here.
//
//   unregistered --register ok--> registered --suspend()--> suspended
//   registered/suspended --register ok--> registered (a refusal changes nothing)
//
// The session keys are held independently of that, from registerSessionKeys() until
// unregisterSessionKeys().
class HotkeyManager final : public HotkeyRegistrar {
public:
    // One of the panel's keys and the id its presses carry.
    struct PanelKey {
        uint32_t id;
        HotkeyShortcut shortcut;
    };

    static constexpr uint32_t mainId = 1;
    static constexpr uint32_t escapeId = 2;
    // ⌥1 carries this id, ⌥4 this id plus 3.
    static constexpr uint32_t firstActionId = 10;

    // Escape, then ⌥1 to ⌥4, in the order they are taken.
    static std::span<const PanelKey> panelKeys();

    // The layout names keys in the log and must outlive the manager.
    HotkeyManager(std::unique_ptr<GlobalKeyGrabber> grabber, KeyCharacters& layout);

    [[nodiscard]] bool registerShortcut(const HotkeyShortcut& shortcut) override;
    void registerSessionKeys() override;
    void unregisterSessionKeys() override;
    void suspend() override;
    std::optional<HotkeyShortcut> current() const override { return m_current; }
    bool hasRegisteredHotkey() const override { return m_hotKeyRef.has_value(); }

private:
    void handlePress(uint32_t id);
    QString currentDisplay() const;

    std::unique_ptr<GlobalKeyGrabber> m_grabber;
    KeyCharacters& m_layout;
    std::optional<HotkeyShortcut> m_current;
    std::optional<GlobalKeyGrabber::Handle> m_hotKeyRef;
    std::map<uint32_t, GlobalKeyGrabber::Handle> m_sessionRefs;
};
