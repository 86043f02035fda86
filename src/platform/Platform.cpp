// SPDX-License-Identifier: MIT
#include "platform/Platform.h"

#include "core/SystemClock.h"

#include <atomic>

namespace {

class NullSecretStore final : public SecretStore {
public:
    std::optional<QByteArray> read(const QString&, const QString&) override { return {}; }
    bool write(const QString&, const QString&, const QByteArray&) override { return false; }
    bool remove(const QString&, const QString&) override { return false; }
};

class NullKeyboardLayout final : public KeyboardLayout {
public:
    std::optional<QString> unmodifiedText(uint32_t) override { return {}; }
};

template <class Port> Port& orDefault(Port* installed, Port& fallback)
{
    return installed ? *installed : fallback;
}

Clock* g_clock = nullptr;
SecretStore* g_secretStore = nullptr;
KeyboardLayout* g_keyboardLayout = nullptr;
// The sink is read from any thread that logs.

} // namespace

namespace Platform {

Clock& clock()
{
    static SystemClock system;
    return orDefault(g_clock, static_cast<Clock&>(system));
}

void setClock(Clock* clock)
{
    g_clock = clock;
}

SecretStore& secretStore()
{
    static NullSecretStore none;
    return orDefault(g_secretStore, static_cast<SecretStore&>(none));
}

void setSecretStore(SecretStore* store)
{
    g_secretStore = store;
}

KeyboardLayout& keyboardLayout()
{
    static NullKeyboardLayout none;
    return orDefault(g_keyboardLayout, static_cast<KeyboardLayout&>(none));
}

void setKeyboardLayout(KeyboardLayout* layout)
{
    g_keyboardLayout = layout;
}

} // namespace Platform
