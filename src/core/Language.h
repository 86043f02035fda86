// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <optional>

// A translation target: an ISO 639-1 code and the English name that goes into the prompt.
// Equality takes both fields: ("en", "British") is not English.
struct Language {
    QString id;
    QString name;

    bool operator==(const Language&) const = default;

    // The ten targets offered, in menu order. English comes first and is the default.
    static const QList<Language>& all();
    static const Language& english();
    // The entry of all() with this id, if there is one.
    static std::optional<Language> withID(const QString& id);
};

size_t qHash(const Language& language, size_t seed = 0) noexcept;
