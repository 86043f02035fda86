// SPDX-License-Identifier: MIT
#include "ui/recorder/RecorderKeys.h"

#include "core/KeyPositions.h"

namespace RecorderKeys {

namespace {
constexpr uint64_t controlFlag = 0x40000;
constexpr uint64_t optionFlag = 0x80000;
constexpr uint64_t shiftFlag = 0x20000;
constexpr uint64_t commandFlag = 0x100000;
} // namespace

uint64_t modifierFlags(Qt::KeyboardModifiers modifiers)
{
    uint64_t flags = 0;
    if (modifiers & Qt::ControlModifier)
        flags |= controlFlag;
    if (modifiers & Qt::AltModifier)
        flags |= optionFlag;
    if (modifiers & Qt::ShiftModifier)
        flags |= shiftFlag;
    if (modifiers & Qt::MetaModifier)
        flags |= commandFlag;
    return flags;
}

std::optional<uint64_t> flagOfModifierKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Control:
        return controlFlag;
    case Qt::Key_Alt:
        return optionFlag;
    case Qt::Key_Shift:
        return shiftFlag;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return commandFlag;
    case Qt::Key_AltGr:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return uint64_t{0};
    default:
        return std::nullopt;
    }
}

uint64_t modifierFlagsAfter(const QKeyEvent& event)
{
    uint64_t flags = modifierFlags(event.modifiers());
    const std::optional<uint64_t> own = flagOfModifierKey(event.key());
    if (!own)
        return flags;
    if (event.type() == QEvent::KeyPress)
        flags |= *own;
    else
        flags &= ~*own;
    return flags;
}

std::optional<uint32_t> virtualKey(const QKeyEvent& event)
{
    // On X11 and Wayland alike the native scan code is the X keycode (evdev code plus 8).
    return KeyPositions::virtualKeyForXKeycode(event.nativeScanCode());
}

} // namespace RecorderKeys
