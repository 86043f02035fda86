// SPDX-License-Identifier: MIT
#pragma once

#include "app/ProcessLog.h"
#include "cli/CommandPorts.h"
#include "core/SystemClock.h"
#include "settings/Preferences.h"

#include <memory>

// Where a command's adapters are chosen: the command's log (see ProcessLog), the system
// clock, the preferences over the user's defaults, the desktop keyring and the keyboard
// layout. The program's start-up builds it once for the command's run and lends its ports to
// the command.
class CommandWiring {
public:
    CommandWiring();
    ~CommandWiring();
    CommandWiring(const CommandWiring&) = delete;
    CommandWiring& operator=(const CommandWiring&) = delete;

    CommandPorts ports() { return {*m_layout, *m_secrets, m_clock, m_preferences}; }

private:
    ProcessLog m_log{ProcessLog::Role::command};
    SystemClock m_clock;
    Preferences m_preferences{UserDefaults::standard()};
    std::unique_ptr<SecretStore> m_secrets;
    std::unique_ptr<KeyboardLayout> m_layout;
};
