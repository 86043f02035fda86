// SPDX-License-Identifier: MIT
#pragma once

#include "platform/CommandKeybinding.h"

// A desktop's shortcut entry in memory. Records "set(KEYCODE/MASK, COMMAND)" and "remove";
// refuses every set while `accepts` is false.
class FakeCommandKeybinding final : public CommandKeybinding {
public:
    std::optional<HotkeyShortcut> current() override { return held; }
    bool set(const HotkeyShortcut& shortcut, const QString& command) override
    {
        calls.append(QStringLiteral("set(%1/%2, %3)")
                         .arg(shortcut.keyCode)
                         .arg(shortcut.carbonModifiers, 0, 16)
                         .arg(command));
        held = accepts ? shortcut : held;
        return accepts;
    }
    void remove() override { calls.append(QStringLiteral("remove")), held.reset(); }

    std::optional<HotkeyShortcut> held;
    bool accepts = true;
    QStringList calls;
};
