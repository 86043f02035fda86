// SPDX-License-Identifier: MIT
#include "settings/Credential.h"

#include "settings/Preferences.h"

namespace Credential {

bool isSendable(QStringView value)
{
    for (const char32_t c : value.toUcs4()) {
        if (c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029)
            return false;
    }
    return true;
}

bool isCredentialKey(QStringView defaultsKey)
{
    return defaultsKey == QLatin1String(DefaultsKey::proxyToken) ||
           defaultsKey == QLatin1String(DefaultsKey::deviceID);
}

QString refusal(const QString& what)
{
    return what + QStringLiteral(" contains a line break or another control character");
}

} // namespace Credential
