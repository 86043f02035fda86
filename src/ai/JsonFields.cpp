// SPDX-License-Identifier: MIT
#include "ai/JsonFields.h"

#include <QJsonDocument>
#include <QJsonParseError>

std::optional<QJsonObject> JsonFields::parseObject(const QByteArray& body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

std::optional<int64_t> JsonFields::toInteger(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    // toInteger() falls back to its argument for fractions and out-of-range numbers; two
    // different fallbacks tell a real value from the fallback.
    const qint64 first = value.toInteger(0);
    if (first == 0 && value.toInteger(1) == 1)
        return std::nullopt;
    return first;
}

std::optional<QJsonValue> JsonFields::present(QLatin1StringView key) const
{
    const QJsonValue value = m_object.value(key);
    if (value.isUndefined() || value.isNull())
        return std::nullopt;
    return value;
}

std::optional<QString> JsonFields::string(QLatin1StringView key)
{
    const auto value = present(key);
    if (!value)
        return std::nullopt;
    if (!value->isString()) {
        fail();
        return std::nullopt;
    }
    return value->toString();
}

std::optional<int64_t> JsonFields::integer(QLatin1StringView key)
{
    const auto value = present(key);
    if (!value)
        return std::nullopt;
    const auto number = toInteger(*value);
    if (!number)
        fail();
    return number;
}

std::optional<QJsonObject> JsonFields::object(QLatin1StringView key)
{
    const auto value = present(key);
    if (!value)
        return std::nullopt;
    if (!value->isObject()) {
        fail();
        return std::nullopt;
    }
    return value->toObject();
}

std::optional<QJsonArray> JsonFields::array(QLatin1StringView key)
{
    const auto value = present(key);
    if (!value)
        return std::nullopt;
    if (!value->isArray()) {
        fail();
        return std::nullopt;
    }
    return value->toArray();
}
