// SPDX-License-Identifier: MIT
#include "core/AppIdentity.h"

#include "core/BuildConfig.h"

namespace AppIdentity {

QString versionFrom(const char* configured)
{
    const QString value = QString::fromUtf8(configured ? configured : "").trimmed();
    return value.isEmpty() ? QStringLiteral("unknown") : value;
}

const QString& version()
{
    // A function-local static is initialised once, also under concurrent first use.
    static const QString value = versionFrom(BuildConfig::version);
    return value;
}

} // namespace AppIdentity
