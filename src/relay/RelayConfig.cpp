// SPDX-License-Identifier: MIT
#include "relay/RelayConfig.h"

#include "relay/RelayWire.h"

#include <QFile>
#include <QTextStream>

namespace {

std::optional<qint64> number(const QString& value, qint64 minimum)
{
    bool ok = false;
    const qint64 parsed = value.trimmed().toLongLong(&ok);
    if (!ok || parsed < minimum)
        return std::nullopt;
    return parsed;
}

std::optional<bool> boolean(const QString& value)
{
    const QString word = value.trimmed().toLower();
    if (word == u"true" || word == u"yes" || word == u"on" || word == u"1")
        return true;
    if (word == u"false" || word == u"no" || word == u"off" || word == u"0" || word.isEmpty())
        return false;
    return std::nullopt;
}

QString invalid(const QString& key, const QString& what)
{
    return QStringLiteral("%1: %2").arg(key, what);
}

QString defaultDatabase(const QProcessEnvironment& environment)
{
    // systemd's StateDirectory= names the service's own folder.
    const QString state = environment.value(QStringLiteral("STATE_DIRECTORY"),
                                            QStringLiteral("/var/lib/quillmark-relay"));
    return QStringLiteral("sqlite:") + state.section(u':', 0, 0) + QStringLiteral("/relay.db");
}

QString defaultKeyFile(const QProcessEnvironment& environment)
{
    // systemd's LoadCredential=upstream-key:… puts the key where only the service reads it.
    const QString credentials = environment.value(QStringLiteral("CREDENTIALS_DIRECTORY"));
    return credentials.isEmpty() ? QString() : credentials + QStringLiteral("/upstream-key");
}

} // namespace

QString defaultConfigPath()
{
    return QStringLiteral("/etc/quillmark-relay/relay.conf");
}

const QStringList& RelayConfig::policyKeys()
{
    static const QStringList keys{QStringLiteral("max_input_chars"),
                                  QStringLiteral("monthly_tokens"),
                                  QStringLiteral("rate_limit_per_minute"),
                                  QStringLiteral("open_mode"),
                                  QStringLiteral("min_app_version"),
                                  QStringLiteral("kill_switch"),
                                  QStringLiteral("model"),
                                  QStringLiteral("upstream_timeout_seconds")};
    return keys;
}

const QStringList& RelayConfig::keys()
{
    static const QStringList keys = QStringList{QStringLiteral("listen"),
                                                QStringLiteral("upstream_url"),
                                                QStringLiteral("upstream_key_file"),
                                                QStringLiteral("database"),
                                                QStringLiteral("tls_certificate"),
                                                QStringLiteral("tls_key")} +
                                    policyKeys();
    return keys;
}

std::optional<QString> RelayConfig::applyToPolicy(RelayPolicy& policy, const QString& key,
                                                  const QString& value)
{
    if (key == u"max_input_chars" || key == u"rate_limit_per_minute" ||
        key == u"upstream_timeout_seconds") {
        const auto parsed = number(value, key == u"rate_limit_per_minute" ? 0 : 1);
        if (!parsed || *parsed > 100'000'000)
            return invalid(key, QStringLiteral("expected a whole number"));
        int& field = key == u"max_input_chars"         ? policy.maxInputChars
                     : key == u"rate_limit_per_minute" ? policy.ratePerMinute
                                                       : policy.upstreamTimeoutSeconds;
        field = int(*parsed);
    } else if (key == u"monthly_tokens") {
        const auto parsed = number(value, 0);
        if (!parsed)
            return invalid(key, QStringLiteral("expected a whole number"));
        policy.monthlyTokens = *parsed;
    } else if (key == u"open_mode") {
        const auto parsed = boolean(value);
        if (!parsed)
            return invalid(key, QStringLiteral("expected true or false"));
        policy.openMode = *parsed;
    } else if (key == u"min_app_version") {
        if (!value.trimmed().isEmpty() &&
            !RelayWire::compareVersions(value.trimmed(), value.trimmed()))
            return invalid(key, QStringLiteral("expected dotted digits such as 1.4"));
        policy.minAppVersion = value.trimmed();
    } else if (key == u"kill_switch") {
        policy.killSwitch = value.trimmed();
    } else if (key == u"model") {
        if (value.trimmed().isEmpty())
            return invalid(key, QStringLiteral("must not be empty"));
        policy.model = value.trimmed();
    } else {
        return invalid(key, QStringLiteral("unknown setting"));
    }
    return std::nullopt;
}

std::optional<QString> RelayConfig::apply(const QString& key, const QString& value)
{
    if (key == u"listen") {
        const QString text = value.trimmed();
        const qsizetype colon = text.lastIndexOf(u':');
        const auto port = number(text.mid(colon + 1), 0); // 0: any free port
        QString host = text.left(colon);
        if (host.startsWith(u'[') && host.endsWith(u']'))
            host = host.mid(1, host.size() - 2);
        const QHostAddress address(host);
        if (colon <= 0 || !port || *port > 65535 || address.isNull())
            return invalid(key, QStringLiteral("expected ADDRESS:PORT such as 127.0.0.1:8787"));
        listenAddress = address;
        this->port = quint16(*port);
    } else if (key == u"upstream_url") {
        upstreamURL = value.trimmed();
        while (upstreamURL.endsWith(u'/'))
            upstreamURL.chop(1);
    } else if (key == u"upstream_key_file") {
        upstreamKeyFile = value.trimmed();
    } else if (key == u"database") {
        database = value.trimmed();
    } else if (key == u"tls_certificate") {
        tlsCertificate = value.trimmed();
    } else if (key == u"tls_key") {
        tlsKey = value.trimmed();
    } else {
        return applyToPolicy(policy, key, value);
    }
    return std::nullopt;
}

std::variant<RelayConfig, QString> RelayConfig::load(const QString& path,
                                                     const QProcessEnvironment& environment)
{
    RelayConfig config;
    config.database = defaultDatabase(environment);
    config.upstreamKeyFile = defaultKeyFile(environment);

    QFile file(path);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&file);
        int lineNumber = 0;
        while (!in.atEnd()) {
            ++lineNumber;
            const QString line = in.readLine().trimmed();
            if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
                continue;
            const qsizetype equals = line.indexOf(u'=');
            if (equals <= 0)
                return QStringLiteral("%1:%2: expected key = value").arg(path).arg(lineNumber);
            if (auto error = config.apply(line.left(equals).trimmed(), line.mid(equals + 1)))
                return QStringLiteral("%1:%2: %3").arg(path).arg(lineNumber).arg(*error);
        }
    } else if (file.exists()) {
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    }

    for (const QString& key : keys()) {
        const QString variable = QStringLiteral("QUILLMARK_RELAY_") + key.toUpper();
        if (!environment.contains(variable))
            continue;
        if (auto error = config.apply(key, environment.value(variable)))
            return QStringLiteral("%1: %2").arg(variable, *error);
    }
    return config;
}
