// SPDX-License-Identifier: MIT
#include "ai/ProxyWire.h"

#include "ai/JsonFields.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>

namespace ProxyWire {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Digits and dots after the first dot are the fraction to drop; "Z" or an offset after
// them is kept.
QString withoutFractionalSeconds(const QString& text)
{
    const qsizetype dot = text.indexOf(u'.');
    if (dot < 0)
        return text;
    qsizetype end = dot;
    while (end < text.size() && (isAsciiDigit(text.at(end)) || text.at(end) == u'.'))
        ++end;
    return text.left(dot) + text.mid(end);
}

std::optional<Quota> quotaFrom(const QJsonObject& object, bool& ok)
{
    JsonFields fields(object);
    Quota quota;
    quota.remainingTokens = fields.integer(QLatin1StringView("remaining_tokens")).value_or(0);
    if (const auto resetsAt = fields.string(QLatin1StringView("resets_at")))
        quota.resetsAt = parseResetsAt(*resetsAt);
    ok = fields.ok();
    return quota;
}

ProxyError unusableReply(const QByteArray& body)
{
    return ProxyError::malformed(QStringLiteral("HTTP 200 with no usable `text` (") +
                                 QString::number(body.size()) + QStringLiteral(" bytes)"));
}

// The body as text, or nothing when it is not valid UTF-8.
std::optional<QString> utf8Text(const QByteArray& body)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(body);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

} // namespace

std::variant<WireAction, ProxyError> wireAction(const TextAction& action)
{
    switch (action.kind()) {
    case TextAction::Kind::rewrite:
        return WireAction{QStringLiteral("rewrite"), rawValue(action.style())};
    case TextAction::Kind::translate:
        return WireAction{QStringLiteral("translate"), std::nullopt};
    case TextAction::Kind::fixGrammar:
        return WireAction{QStringLiteral("fixGrammar"), std::nullopt};
    case TextAction::Kind::improvePrompt:
        return WireAction{QStringLiteral("improvePrompt"), std::nullopt};
    case TextAction::Kind::custom:
        break;
    }
    return ProxyError::local(
        QStringLiteral("Custom instructions only work with your own OpenAI key."),
        QStringLiteral("TextAction.custom is not in the server allow-list"), ErrorRecovery::none);
}

QJsonObject requestBody(const WireAction& wire, const QString& text, const Language& language)
{
    QJsonObject body{{QStringLiteral("action"), wire.action}, {QStringLiteral("text"), text}};
    if (wire.style)
        body.insert(QStringLiteral("style"), *wire.style);
    if (wire.action == QLatin1String("translate"))
        body.insert(QStringLiteral("targetLanguage"), language.id);
    return body;
}

std::variant<AIResult, ProxyError> decodeReply(const QByteArray& body)
{
    const auto root = JsonFields::parseObject(body);
    if (!root)
        return unusableReply(body);
    JsonFields fields(*root);
    const auto text = fields.string(QLatin1StringView("text"));
    const auto usage = fields.object(QLatin1StringView("usage"));
    const auto quota = fields.object(QLatin1StringView("quota"));
    if (!fields.ok() || !text || text->isEmpty())
        return unusableReply(body);

    AIResult result;
    result.completion.text = *text;
    if (usage) {
        JsonFields usageFields(*usage);
        result.completion.promptTokens =
            usageFields.integer(QLatin1StringView("prompt_tokens")).value_or(0);
        result.completion.completionTokens =
            usageFields.integer(QLatin1StringView("completion_tokens")).value_or(0);
        if (!usageFields.ok())
            return unusableReply(body);
    }
    if (quota) {
        bool ok = true;
        result.quota = quotaFrom(*quota, ok);
        if (!ok)
            return unusableReply(body);
    }
    return result;
}

ProxyError apiError(const QByteArray& body)
{
    std::optional<ProxyErrorCode> code;
    std::optional<QString> serverMessage;
    if (const auto root = JsonFields::parseObject(body)) {
        JsonFields fields(*root);
        const auto error = fields.string(QLatin1StringView("error"));
        const auto message = fields.string(QLatin1StringView("message"));
        if (fields.ok()) {
            if (error)
                code = fromRawValue<ProxyErrorCode>(*error);
            serverMessage = message;
        }
    }
    // Without the service's sentence the body itself goes to the log, never to the user.
    if (!serverMessage) {
        return ProxyError::api(code,
                               stripCodePrefix(utf8Text(body).value_or(QStringLiteral("no body"))),
                               /*isServiceSentence=*/false);
    }
    return ProxyError::api(code, stripCodePrefix(*serverMessage));
}

QString stripCodePrefix(const QString& message)
{
    const qsizetype colon = message.indexOf(u':');
    if (colon <= 0)
        return message;
    for (const char32_t c : QStringView(message).left(colon).toUcs4()) {
        if (c != U'_' && !QChar::isUpper(c))
            return message;
    }
    QStringView rest = QStringView(message).mid(colon + 1);
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (!rest.isEmpty() && isBlank(rest.front()))
        rest = rest.mid(1);
    while (!rest.isEmpty() && isBlank(rest.back()))
        rest.chop(1);
    return rest.toString();
}

std::optional<QString> reportableVersion(const QString& version)
{
    const QStringList pieces = version.split(u'.', Qt::KeepEmptyParts);
    for (const QString& piece : pieces) {
        if (piece.isEmpty() || !std::all_of(piece.begin(), piece.end(), isAsciiDigit))
            return std::nullopt;
    }
    return version;
}

std::optional<QDateTime> parseResetsAt(const QString& text)
{
    // Full date, "T", full time with colons, then "Z" or an offset with a colon.
    static const QRegularExpression form(QStringLiteral(
        R"(^(\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})(?:(Z)|([+-])(\d{2}):(\d{2}))$)"));
    const auto match = form.match(withoutFractionalSeconds(text));
    if (!match.hasMatch())
        return std::nullopt;
    const auto number = [&](int group) { return match.capturedView(group).toInt(); };
    const QDate date(number(1), number(2), number(3));
    const QTime time(number(4), number(5), number(6));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    int offsetSeconds = 0;
    if (!match.hasCaptured(7)) {
        if (number(9) > 23 || number(10) > 59)
            return std::nullopt;
        offsetSeconds = (number(9) * 60 + number(10)) * 60;
        if (match.capturedView(8) == u"-")
            offsetSeconds = -offsetSeconds;
    }
    return QDateTime(date, time, Qt::OffsetFromUTC, offsetSeconds).toUTC();
}

} // namespace ProxyWire
