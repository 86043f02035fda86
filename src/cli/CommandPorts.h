// SPDX-License-Identifier: MIT
#pragma once

class Clock;
class KeyboardLayout;
class Preferences;
class SecretStore;

// The desktop's adapters a command may use, built once by the program's start-up (the
// command wiring in app/) and borrowed for the command's run.
struct CommandPorts {
    KeyboardLayout& keyboardLayout;
    SecretStore& secrets;
    Clock& clock;
    Preferences& preferences;
};
