// SPDX-License-Identifier: MIT
#pragma once

#include "support/fakes/FakeKeyboardLayout.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

// Key presses as the X11 platform delivers them: with the X keycode as native scan code
// and, for a modifier key itself, the modifier state from before the event.
namespace KeyScript {

struct Key {
    int qtKey;
    quint32 xKeycode;
};

inline constexpr Key control{Qt::Key_Control, 37};
inline constexpr Key alt{Qt::Key_Alt, 64};
inline constexpr Key shift{Qt::Key_Shift, 50};
inline constexpr Key super{Qt::Key_Super_L, 133};
inline constexpr Key escape{Qt::Key_Escape, 9};
inline constexpr Key keyT{Qt::Key_T, 28};
inline constexpr Key keyK{Qt::Key_K, 45};
inline constexpr Key digit1{Qt::Key_1, 10};
inline constexpr Key returnKey{Qt::Key_Return, 36};
inline constexpr Key backspace{Qt::Key_Backspace, 22};

// Sends the event to the widget with the keyboard focus, or `fallback` when none has it.
inline bool send(QWidget* fallback, QEvent::Type type, Key key, Qt::KeyboardModifiers held,
                 bool autoRepeat = false)
{
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : fallback;
    QKeyEvent event(type, key.qtKey, held, key.xKeycode, 0, 0, QString(), autoRepeat);
    return QApplication::sendEvent(target, &event);
}

inline void press(QWidget* fallback, Key key, Qt::KeyboardModifiers held = Qt::NoModifier)
{
    send(fallback, QEvent::KeyPress, key, held);
}

// A layout that names the keys the tests use, installed for the life of the object.
class ScopedLayout {
public:
    ScopedLayout()
    {
        layout.setText(17, QStringLiteral("t"));
        layout.setText(40, QStringLiteral("k"));
        layout.setText(18, QStringLiteral("1"));
    }
    ScopedLayout(const ScopedLayout&) = delete;
    ScopedLayout& operator=(const ScopedLayout&) = delete;

    FakeKeyboardLayout layout;
};

} // namespace KeyScript
