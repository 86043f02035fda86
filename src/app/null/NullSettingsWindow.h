// SPDX-License-Identifier: MIT
#pragma once

#include "ui/settings/SettingsWindow.h"

// No settings window; `quillmark defaults` still changes every setting.
class NullSettingsWindow final : public SettingsWindow {
public:
    void show() override {}
};
