// SPDX-License-Identifier: MIT
#include "core/Style.h"

QString rawValue(Style style)
{
    switch (style) {
    case Style::business:
        return QStringLiteral("business");
    case Style::friendly:
        return QStringLiteral("friendly");
    case Style::casual:
        return QStringLiteral("casual");
    case Style::formal:
        return QStringLiteral("formal");
    case Style::concise:
        return QStringLiteral("concise");
    }
    return {};
}

QString displayTitle(Style style)
{
    const QString raw = rawValue(style);
    return raw.left(1).toUpper() + raw.mid(1);
}
