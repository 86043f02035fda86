// SPDX-License-Identifier: MIT
#include "core/Language.h"

#include <QHashFunctions>

const QList<Language>& Language::all()
{
    static const QList<Language> languages = {
        {QStringLiteral("en"), QStringLiteral("English")},
        {QStringLiteral("ka"), QStringLiteral("Georgian")},
        {QStringLiteral("ru"), QStringLiteral("Russian")},
        {QStringLiteral("uk"), QStringLiteral("Ukrainian")},
        {QStringLiteral("de"), QStringLiteral("German")},
        {QStringLiteral("fr"), QStringLiteral("French")},
        {QStringLiteral("es"), QStringLiteral("Spanish")},
        {QStringLiteral("it"), QStringLiteral("Italian")},
        {QStringLiteral("pt"), QStringLiteral("Portuguese")},
        {QStringLiteral("tr"), QStringLiteral("Turkish")},
    };
    return languages;
}

const Language& Language::english()
{
    return all().front();
}

std::optional<Language> Language::withID(const QString& id)
{
    for (const Language& language : all()) {
        if (language.id == id)
            return language;
    }
    return std::nullopt;
}

size_t qHash(const Language& language, size_t seed) noexcept
{
    return qHashMulti(seed, language.id, language.name);
}
