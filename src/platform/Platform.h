// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "platform/KeyboardLayout.h"
#include "platform/SecretStore.h"

// The adapters behind the ports used by the stateless services (Preferences, the key
// store, the shortcut names, logging). main() installs the desktop's adapters once at
// start-up; tests install fakes. Until something is installed each port answers with a
// null adapter: the system clock, standard error, no secrets and no layout.
// The installed objects are borrowed and must outlive their use.
namespace Platform {
Clock& clock();
void setClock(Clock* clock);

SecretStore& secretStore();
void setSecretStore(SecretStore* store);

KeyboardLayout& keyboardLayout();
void setKeyboardLayout(KeyboardLayout* layout);

} // namespace Platform
