// SPDX-License-Identifier: MIT
#include "platform/x11/OwnKeyboardGrab.h"

void OwnKeyboardGrab::setActive(bool active)
{
    const bool changed = m_active != active;
    m_active = active;
    if (changed && m_listener)
        m_listener();
}
