// SPDX-License-Identifier: MIT
#pragma once

#include "core/Clock.h"
#include "platform/SecretStore.h"

// The clock and the secret store of the services that do not yet receive them (Preferences,
// the key store, the time-outs). main() installs the desktop's adapters once at start-up;
// tests install fakes. Until something is installed the clock is the system's and the
// store holds no secrets.
// The installed objects are borrowed and must outlive their use.
namespace Platform {
Clock& clock();
void setClock(Clock* clock);

SecretStore& secretStore();
void setSecretStore(SecretStore* store);
} // namespace Platform
