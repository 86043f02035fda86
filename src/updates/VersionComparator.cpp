// SPDX-License-Identifier: MIT
#include "updates/VersionComparator.h"

#include <QList>

namespace VersionComparator {

namespace {

enum class PartType { number, text, separator };

struct Part {
    PartType type;
    QStringView text;
};

PartType typeOf(QChar c)
{
    if (c.isDigit())
        return PartType::number;
    if (c.isPunct() || c.isSymbol())
        return PartType::separator;
    return PartType::text;
}

// Digits and letters are grouped into runs; every separator is a part of its own, so
// "1..2" has one more part than "1.2". White space only ends a run.
QList<Part> split(const QString& version)
{
    QList<Part> parts;
    qsizetype start = -1;
    PartType current = PartType::text;
    auto close = [&](qsizetype end) {
        if (start >= 0)
            parts.append({current, QStringView(version).mid(start, end - start)});
        start = -1;
    };
    for (qsizetype i = 0; i < version.size(); ++i) {
        const QChar c = version.at(i);
        if (c.isSpace()) {
            close(i);
            continue;
        }
        const PartType type = typeOf(c);
        if (start >= 0 && (type != current || type == PartType::separator))
            close(i);
        if (start < 0) {
            start = i;
            current = type;
        }
    }
    close(version.size());
    return parts;
}

int sign(qsizetype value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// Numbers of any length: without their leading zeros, the longer one is larger, and
// equally long ones compare digit by digit.
int compareNumbers(QStringView a, QStringView b)
{
    auto stripped = [](QStringView digits) {
        qsizetype first = 0;
        while (first < digits.size() - 1 && digits.at(first) == u'0')
            ++first;
        return digits.mid(first);
    };
    const QStringView x = stripped(a);
    const QStringView y = stripped(b);
    if (x.size() != y.size())
        return sign(x.size() - y.size());
    return sign(x.compare(y));
}

} // namespace

int compare(const QString& a, const QString& b)
{
    const QList<Part> partsA = split(a);
    const QList<Part> partsB = split(b);
    const qsizetype common = std::min(partsA.size(), partsB.size());
    for (qsizetype i = 0; i < common; ++i) {
        const Part& x = partsA.at(i);
        const Part& y = partsB.at(i);
        if (x.type == y.type) {
            int order = 0;
            if (x.type == PartType::number)
                order = compareNumbers(x.text, y.text);
            else if (x.type == PartType::text)
                order = sign(x.text.compare(y.text));
            if (order != 0)
                return order;
            continue;
        }
        // Text against anything else: the side without text is the release.
        if (y.type == PartType::text)
            return 1;
        if (x.type == PartType::text)
            return -1;
        // A number against a separator: the number carries on the version.
        return x.type == PartType::number ? 1 : -1;
    }
    if (partsA.size() == partsB.size())
        return 0;
    const bool aLonger = partsA.size() > partsB.size();
    const Part& extra = aLonger ? partsA.at(common) : partsB.at(common);
    const int longerWins = aLonger ? 1 : -1;
    return extra.type == PartType::text ? -longerWins : longerWins;
}

} // namespace VersionComparator
