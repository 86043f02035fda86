// SPDX-License-Identifier: MIT
#include "cli/DefaultsCommand.h"

#include "settings/Credential.h"
#include "settings/UserDefaults.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringDecoder>
#include <optional>

namespace {

// The value a `write` would store, or the one-line reason the command line is wrong.
struct ParsedValue {
    std::optional<QJsonValue> value;
    QString problem;
};

int usageError(CliIO& io, const QString& problem)
{
    io.err << "quillmark defaults: " << problem << '\n';
    io.err.flush();
    return ExitCode::usage;
}

int failure(CliIO& io, const QString& problem)
{
    io.err << "quillmark defaults: " << problem << '\n';
    io.err.flush();
    return ExitCode::failure;
}

// A type flag is a dash followed by a letter, so that "-5" stays a plain value.
bool looksLikeFlag(const QString& argument)
{
    return argument.size() > 1 && argument.startsWith(QLatin1Char('-')) && argument[1].isLetter();
}

std::optional<bool> parseBool(const QString& text)
{
    const QString lower = text.toLower();
    if (lower == QLatin1String("true") || lower == QLatin1String("yes") ||
        lower == QLatin1String("1"))
        return true;
    if (lower == QLatin1String("false") || lower == QLatin1String("no") ||
        lower == QLatin1String("0"))
        return false;
    return std::nullopt;
}

ParsedValue parseValue(const QStringList& words)
{
    if (words.isEmpty())
        return {std::nullopt, QStringLiteral("missing value")};

    const QString first = words.first();
    if (!looksLikeFlag(first)) {
        if (words.size() > 1)
            return {std::nullopt, QStringLiteral("expected one value; use -array for several")};
        return {QJsonValue(first), {}};
    }

    const QStringList values = words.mid(1);
    if (first == QLatin1String("-array")) {
        QJsonArray array;
        for (const QString& element : values)
            array.append(element);
        return {QJsonValue(array), {}};
    }
    if (first != QLatin1String("-string") && first != QLatin1String("-int") &&
        first != QLatin1String("-bool"))
        return {std::nullopt,
                QStringLiteral("unknown type %1; use -string, -int, -bool or -array").arg(first)};
    if (values.isEmpty())
        return {std::nullopt, QStringLiteral("missing value after %1").arg(first)};
    if (values.size() > 1)
        return {std::nullopt, QStringLiteral("expected one value after %1").arg(first)};

    const QString& text = values.first();
    if (first == QLatin1String("-string"))
        return {QJsonValue(text), {}};
    if (first == QLatin1String("-int")) {
        bool ok = false;
        const qint64 number = text.toLongLong(&ok, 10);
        if (!ok)
            return {std::nullopt, QStringLiteral("-int needs a whole number, not '%1'").arg(text)};
        return {QJsonValue(number), {}};
    }
    const std::optional<bool> flag = parseBool(text);
    if (!flag)
        return {std::nullopt,
                QStringLiteral("-bool needs true, false, yes, no, 1 or 0, not '%1'").arg(text)};
    return {QJsonValue(*flag), {}};
}

// Strings print raw so scripts can use them directly; everything else prints as JSON.
QString valueText(const QJsonValue& value)
{
    if (value.isString())
        return value.toString();
    if (value.isArray())
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    if (value.isObject())
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    // A scalar has no document of its own; print it as the one element of an array.
    const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(wrapped.mid(1, wrapped.size() - 2));
}

int readCommand(const QStringList& arguments, CliIO& io)
{
    const UserDefaults defaults = UserDefaults::standard();
    if (arguments.isEmpty()) {
        io.out << QString::fromUtf8(QJsonDocument(defaults.dictionary()).toJson());
        io.out.flush();
        return ExitCode::success;
    }
    if (arguments.size() > 1)
        return usageError(io, QStringLiteral("read takes at most one key"));
    const QString& key = arguments.first();
    const std::optional<QJsonValue> value = defaults.object(key);
    if (!value)
        return failure(io, QStringLiteral("no value for %1").arg(key));
    io.out << valueText(*value) << '\n';
    io.out.flush();
    return ExitCode::success;
}

// A string read from standard input and trimmed as `key set` does, so that a token never
// has to appear on a command line; nothing when the input is not UTF-8 or holds nothing.
std::optional<QString> stringFromInput(CliIO& io)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = QString(decoder.decode(io.readInput())).trimmed();
    if (decoder.hasError() || text.isEmpty())
        return std::nullopt;
    return text;
}

int writeCommand(const QStringList& arguments, CliIO& io)
{
    if (arguments.isEmpty())
        return usageError(io, QStringLiteral("write needs a key and a value"));
    const QString& key = arguments.first();
    ParsedValue parsed;
    if (arguments.mid(1) == QStringList{QStringLiteral("-stdin")}) {
        const std::optional<QString> text = stringFromInput(io);
        if (!text) {
            return failure(io, QStringLiteral("no value on standard input (or not UTF-8); "
                                              "nothing was written"));
        }
        parsed.value = QJsonValue(*text);
    } else {
        parsed = parseValue(arguments.mid(1));
        if (!parsed.value)
            return usageError(io, parsed.problem);
    }
    // Never echo the value: it may be a credential.
    if (Credential::isCredentialKey(key) && !Credential::isSendable(parsed.value->toString())) {
        return failure(io, Credential::refusal(key) + QStringLiteral("; nothing was written"));
    }
    UserDefaults defaults = UserDefaults::standard();
    if (!defaults.set(key, *parsed.value))
        return failure(io, QStringLiteral("could not write %1").arg(defaults.path()));
    return ExitCode::success;
}

int deleteCommand(const QStringList& arguments, CliIO& io)
{
    if (arguments.size() != 1)
        return usageError(io, QStringLiteral("delete needs exactly one key"));
    const QString& key = arguments.first();
    UserDefaults defaults = UserDefaults::standard();
    if (!defaults.dictionary().contains(key))
        return failure(io, QStringLiteral("no value for %1").arg(key));
    if (!defaults.remove(key))
        return failure(io, QStringLiteral("could not write %1").arg(defaults.path()));
    return ExitCode::success;
}

} // namespace

int defaultsCommand(const QStringList& arguments, CliIO& io)
{
    const QString subcommand = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    if (subcommand == QLatin1String("read"))
        return readCommand(rest, io);
    if (subcommand == QLatin1String("write"))
        return writeCommand(rest, io);
    if (subcommand == QLatin1String("delete"))
        return deleteCommand(rest, io);
    if (subcommand.isEmpty())
        return usageError(io, QStringLiteral("expected read, write or delete"));
    return usageError(
        io, QStringLiteral("unknown command '%1'; expected read, write or delete").arg(subcommand));
}
