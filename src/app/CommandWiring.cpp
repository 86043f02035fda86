// SPDX-License-Identifier: MIT
#include "app/CommandWiring.h"

#include "platform/KeyboardLayout.h"
#include "platform/SecretStore.h"
#include "platform/secret/LibsecretStore.h"
#include "platform/xkb/XkbKeyboardLayout.h"

CommandWiring::CommandWiring()
    : m_secrets(std::make_unique<LibsecretStore>())
    , m_layout(std::make_unique<XkbKeyboardLayout>())
{}

CommandWiring::~CommandWiring() = default;
