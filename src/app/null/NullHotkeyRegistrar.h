// SPDX-License-Identifier: MIT
#pragma once

#include "input/HotkeyRegistrar.h"

// No global shortcuts: every registration is refused and no key ever arrives.
// `quillmark trigger` bound to a desktop shortcut still opens the panel.
class NullHotkeyRegistrar final : public HotkeyRegistrar {
public:
    bool registerShortcut(const HotkeyShortcut&) override { return false; }
    void registerSessionKeys() override {}
    void unregisterSessionKeys() override {}
    void suspend() override {}
    std::optional<HotkeyShortcut> current() const override { return std::nullopt; }
    bool hasRegisteredHotkey() const override { return false; }
};
