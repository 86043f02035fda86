// SPDX-License-Identifier: MIT
#include "platform/Platform.h"

#include "core/SystemClock.h"

namespace {

class NullSecretStore final : public SecretStore {
public:
    std::optional<QByteArray> read(const QString&, const QString&) override { return {}; }
    bool write(const QString&, const QString&, const QByteArray&) override { return false; }
    bool remove(const QString&, const QString&) override { return false; }
};

template <class Port> Port& orDefault(Port* installed, Port& fallback)
{
    return installed ? *installed : fallback;
}

Clock* g_clock = nullptr;
SecretStore* g_secretStore = nullptr;

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

} // namespace Platform
