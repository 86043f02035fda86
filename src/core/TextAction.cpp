// SPDX-License-Identifier: MIT
#include "core/TextAction.h"

std::optional<TextAction> TextAction::fromTestFlag(const QString& flag)
{
    if (flag == QLatin1String("translate"))
        return translate();
    if (flag == QLatin1String("fixGrammar"))
        return fixGrammar();
    if (flag == QLatin1String("improvePrompt"))
        return improvePrompt();

    static const QString rewritePrefix = QStringLiteral("rewrite-");
    if (flag.startsWith(rewritePrefix)) {
        if (auto style = fromRawValue<Style>(QStringView(flag).mid(rewritePrefix.size())))
            return rewrite(*style);
        return std::nullopt;
    }

    static const QString customPrefix = QStringLiteral("custom:");
    if (flag.startsWith(customPrefix))
        return custom(flag.mid(customPrefix.size()));

    return std::nullopt;
}

QString TextAction::logName() const
{
    switch (m_kind) {
    case Kind::rewrite:
        return QStringLiteral("rewrite-") + rawValue(m_style);
    case Kind::custom:
        return QStringLiteral("custom");
    case Kind::translate:
        return QStringLiteral("translate");
    case Kind::fixGrammar:
        return QStringLiteral("fixGrammar");
    case Kind::improvePrompt:
        return QStringLiteral("improvePrompt");
    }
    return {};
}
