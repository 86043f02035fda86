// SPDX-License-Identifier: MIT
#include "core/RunRules.h"

#include "core/Log.h"

#include <QTextBoundaryFinder>

namespace RunRules {

int64_t characterCount(const QString& text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int64_t count = 0;
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end != -1; end = finder.toNextBoundary()) {
        // A cluster is never more code points than UTF-16 units, so most need no counting.
        int64_t codePoints = 1;
        if (end - start > maxCodePointsPerCharacter) {
            codePoints = 0;
            for (const QChar unit : QStringView(text).sliced(start, end - start))
                codePoints += unit.isLowSurrogate() ? 0 : 1;
        }
        count += codePoints > maxCodePointsPerCharacter ? codePoints : 1;
        start = end;
    }
    return count;
}

bool hasContent(const QString& text)
{
    return !text.trimmed().isEmpty();
}

QString tooLargeMessage(int64_t count)
{
    return QStringLiteral("Selection too large (%1 / 12,000 characters).").arg(count);
}

QString usageLabel(int64_t promptTokens, int64_t completionTokens)
{
    return QStringLiteral("%1 in · %2 out")
        .arg(QString::number(promptTokens), QString::number(completionTokens));
}

QString preservingEdgeWhitespace(const QString& original, const QString& result)
{
    // Surrogate pairs are never white space, so walking UTF-16 units is safe here.
    qsizetype leadingEnd = 0;
    while (leadingEnd < original.size() && original.at(leadingEnd).isSpace())
        ++leadingEnd;
    qsizetype trailingStart = original.size();
    while (trailingStart > leadingEnd && original.at(trailingStart - 1).isSpace())
        --trailingStart;
    return original.left(leadingEnd) + result.trimmed() + original.mid(trailingStart);
}

void logStart(const TextAction& action, int64_t characters)
{
    Log::ai().info(QStringLiteral("%1 start (%2 chars in)")
                       .arg(action.logName(), QString::number(characters)));
}

void logSuccess(const TextAction& action, int64_t milliseconds, const Completion& completion)
{
    Log::ai().info(QStringLiteral("%1 ok in %2ms (in %3 out %4 tok)")
                       .arg(action.logName(), QString::number(milliseconds),
                            QString::number(completion.promptTokens),
                            QString::number(completion.completionTokens)));
}

void logFailure(const TextAction& action, const QString& detail)
{
    Log::ai().error(QStringLiteral("%1 failed: %2").arg(action.logName(), detail));
}

} // namespace RunRules
