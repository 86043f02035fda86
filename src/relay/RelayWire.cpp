// SPDX-License-Identifier: MIT
#include "relay/RelayWire.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QStringList>

namespace RelayWire {

namespace {

Failure badRequest(const QString& message)
{
    return {400, ProxyErrorCode::badRequest, message};
}

std::optional<QList<qint64>> versionPieces(const QString& version)
{
    QList<qint64> pieces;
    for (const QString& piece : version.split(u'.')) {
        bool ok = false;
        const qint64 value = piece.toLongLong(&ok);
        if (!ok || piece.isEmpty() || value < 0 || piece.front() == u'+')
            return std::nullopt;
        pieces.append(value);
    }
    return pieces;
}

} // namespace

std::variant<Job, Failure> parseJob(const QByteArray& body)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return badRequest(QStringLiteral("The request body is not a JSON object."));
    const QJsonObject object = document.object();

    const QJsonValue text = object.value(QStringLiteral("text"));
    if (!text.isString() || text.toString().isEmpty())
        return badRequest(QStringLiteral("The request has no text."));

    const QString action = object.value(QStringLiteral("action")).toString();
    Language language = Language::english();
    std::optional<TextAction> parsed;
    if (action == QStringLiteral("translate")) {
        const auto target =
            Language::withID(object.value(QStringLiteral("targetLanguage")).toString());
        if (!target)
            return badRequest(QStringLiteral("Unknown target language."));
        language = *target;
        parsed = TextAction::translate();
    } else if (action == QStringLiteral("fixGrammar")) {
        parsed = TextAction::fixGrammar();
    } else if (action == QStringLiteral("improvePrompt")) {
        parsed = TextAction::improvePrompt();
    } else if (action == QStringLiteral("rewrite")) {
        const auto style = fromRawValue<Style>(object.value(QStringLiteral("style")).toString());
        if (!style)
            return badRequest(QStringLiteral("Unknown style."));
        parsed = TextAction::rewrite(*style);
    } else {
        return badRequest(QStringLiteral("Unknown action."));
    }
    return Job{*parsed, language, text.toString()};
}

QByteArray errorBody(const Failure& failure)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("error"), rawValue(failure.code)},
                                     {QStringLiteral("message"), failure.message}})
        .toJson(QJsonDocument::Compact);
}

QByteArray replyBody(const QString& text, qint64 promptTokens, qint64 completionTokens,
                     qint64 remainingTokens, const QDateTime& resetsAt)
{
    const QJsonObject usage{{QStringLiteral("prompt_tokens"), promptTokens},
                            {QStringLiteral("completion_tokens"), completionTokens}};
    const QJsonObject quota{{QStringLiteral("remaining_tokens"), remainingTokens},
                            {QStringLiteral("resets_at"), internetDateTime(resetsAt)}};
    return QJsonDocument(QJsonObject{{QStringLiteral("text"), text},
                                     {QStringLiteral("usage"), usage},
                                     {QStringLiteral("quota"), quota}})
        .toJson(QJsonDocument::Compact);
}

std::optional<int> compareVersions(const QString& left, const QString& right)
{
    auto a = versionPieces(left);
    auto b = versionPieces(right);
    if (!a || !b)
        return std::nullopt;
    const qsizetype count = std::max(a->size(), b->size());
    for (qsizetype i = 0; i < count; ++i) {
        const qint64 x = i < a->size() ? a->at(i) : 0;
        const qint64 y = i < b->size() ? b->at(i) : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

QString monthKey(const QDateTime& now)
{
    return now.toUTC().toString(QStringLiteral("yyyy-MM"));
}

QDateTime nextMonthStart(const QDateTime& now)
{
    const QDate today = now.toUTC().date();
    return QDateTime(QDate(today.year(), today.month(), 1).addMonths(1), QTime(0, 0), Qt::UTC);
}

QString internetDateTime(const QDateTime& instant)
{
    return instant.toUTC().toString(Qt::ISODate);
}

} // namespace RelayWire
