// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <cstdint>
#include <optional>

// Reads the fields of one JSON object the way a typed decoder does: a field that is
// absent or null is simply not there, but a field of the wrong type makes the whole body
// unreadable, which ok() then reports. Integers are JSON numbers without a fractional part
// inside the 64-bit range.
class JsonFields {
public:
    explicit JsonFields(QJsonObject object)
        : m_object(std::move(object))
    {}

    // The top-level object of a JSON document; nothing when `body` is not one.
    static std::optional<QJsonObject> parseObject(const QByteArray& body);

    std::optional<QString> string(QLatin1StringView key);
    std::optional<int64_t> integer(QLatin1StringView key);
    std::optional<QJsonObject> object(QLatin1StringView key);
    std::optional<QJsonArray> array(QLatin1StringView key);

    // False once any field read so far had the wrong type.
    [[nodiscard]] bool ok() const { return m_ok; }

    // Nothing when `value` is not an integer as defined above.
    static std::optional<int64_t> toInteger(const QJsonValue& value);

private:
    // The value when present and not null; nothing otherwise.
    std::optional<QJsonValue> present(QLatin1StringView key) const;
    void fail() { m_ok = false; }

    QJsonObject m_object;
    bool m_ok = true;
};
