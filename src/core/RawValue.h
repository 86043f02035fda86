// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>
#include <optional>
#include <type_traits>

// Enums that are stored or sent by name declare `allCases(CasesOf<E>)` and `rawValue(E)`
// next to their definition; this turns a stored name back into a case. Names compare
// exactly: "Wide" is not "wide".
template <class E> struct CasesOf {};

template <class E> std::optional<E> fromRawValue(QStringView raw)
{
    for (E candidate : allCases(CasesOf<E>{})) {
        if (rawValue(candidate) == raw)
            return candidate;
    }
    return std::nullopt;
}
