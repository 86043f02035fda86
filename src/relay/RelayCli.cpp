// SPDX-License-Identifier: MIT
#include "relay/RelayCli.h"

#include "relay/RelayTokens.h"
#include "relay/RelayWire.h"

namespace RelayCli {

namespace {

int failed(QTextStream& err, const QString& message)
{
    err << "quillmark-relay: " << message << Qt::endl;
    return 1;
}

int createToken(QStringList arguments, RelayStore& store, Clock& clock, QTextStream& out,
                QTextStream& err)
{
    std::optional<qint64> monthly;
    const qsizetype option = arguments.indexOf(QStringLiteral("--monthly-tokens"));
    if (option >= 0) {
        bool ok = false;
        monthly = arguments.value(option + 1).toLongLong(&ok);
        if (!ok || *monthly < 0)
            return failed(err, QStringLiteral("--monthly-tokens takes a whole number"));
        arguments.remove(option, 2);
    }
    if (arguments.size() != 1 || arguments.first().trimmed().isEmpty() ||
        arguments.first().startsWith(u'-'))
        return failed(err, QStringLiteral("usage: token create NAME [--monthly-tokens N]"));
    const QString name = arguments.first().trimmed();
    const auto issued = RelayTokens::issue();
    if (!store.addCredential(issued.id, name, issued.hash, monthly, clock.wallNow()))
        return failed(err,
                      QStringLiteral("cannot create the token \"%1\" (is the name in use?): %2")
                          .arg(name, store.lastError()));
    // The only time the token is shown: the store keeps its hash alone.
    out << issued.token << Qt::endl;
    err << "Token \"" << name << "\" created. It is shown only this once; give it to its user."
        << Qt::endl;
    return 0;
}

int listTokens(RelayStore& store, const RelayConfig& config, Clock& clock, QTextStream& out,
               QTextStream& err)
{
    const auto all = store.credentials(RelayWire::monthKey(clock.wallNow()));
    if (!all)
        return failed(err, store.lastError());
    out << QStringLiteral("%1  %2  %3  %4  %5  %6")
               .arg(QStringLiteral("NAME"), -20)
               .arg(QStringLiteral("ID"), -16)
               .arg(QStringLiteral("MONTHLY"), 10)
               .arg(QStringLiteral("USED"), 10)
               .arg(QStringLiteral("CREATED"), -20)
               .arg(QStringLiteral("STATE"))
        << Qt::endl;
    for (const auto& credential : *all) {
        const QString monthly = credential.monthlyTokens
                                    ? QString::number(*credential.monthlyTokens)
                                    : QString::number(config.policy.monthlyTokens) + u'*';
        out << QStringLiteral("%1  %2  %3  %4  %5  %6")
                   .arg(credential.name, -20)
                   .arg(credential.id, -16)
                   .arg(monthly, 10)
                   .arg(QString::number(credential.usedThisMonth), 10)
                   .arg(credential.createdAt.toString(Qt::ISODate), -20)
                   .arg(credential.revokedAt ? QStringLiteral("revoked ") +
                                                   credential.revokedAt->toString(Qt::ISODate)
                                             : QStringLiteral("active"))
            << Qt::endl;
    }
    return 0;
}

int showSettings(RelayStore& store, const RelayConfig& config, QTextStream& out, QTextStream& err)
{
    const auto settings = store.settings();
    if (!settings)
        return failed(err, store.lastError());
    RelayPolicy policy = config.policy;
    QStringList fromDatabase;
    for (const auto& [key, value] : *settings) {
        if (!RelayConfig::applyToPolicy(policy, key, value))
            fromDatabase.append(key);
    }
    const QList<QPair<QString, QString>> effective{
        {QStringLiteral("kill_switch"), policy.killSwitch},
        {QStringLiteral("min_app_version"), policy.minAppVersion},
        {QStringLiteral("max_input_chars"), QString::number(policy.maxInputChars)},
        {QStringLiteral("monthly_tokens"), QString::number(policy.monthlyTokens)},
        {QStringLiteral("rate_limit_per_minute"), QString::number(policy.ratePerMinute)},
        {QStringLiteral("open_mode"),
         policy.openMode ? QStringLiteral("true") : QStringLiteral("false")},
        {QStringLiteral("model"), policy.model},
        {QStringLiteral("upstream_timeout_seconds"),
         QString::number(policy.upstreamTimeoutSeconds)},
    };
    for (const auto& [key, value] : effective) {
        out << key << " = " << value
            << (fromDatabase.contains(key) ? "    (set with quillmark-relay set)" : "") << Qt::endl;
    }
    return 0;
}

} // namespace

QString usage()
{
    return QStringLiteral(
        "usage: quillmark-relay [--config FILE] COMMAND\n"
        "\n"
        "  serve                                 answer Quillmark's requests (the default)\n"
        "  token create NAME [--monthly-tokens N] issue a token; it is printed once\n"
        "  token list                            every token with this month's use\n"
        "  token revoke NAME                     refuse the token from now on\n"
        "  set KEY VALUE                         change a limit for every instance at once:\n"
        "                                        kill_switch, min_app_version, max_input_chars,\n"
        "                                        monthly_tokens, rate_limit_per_minute,\n"
        "                                        open_mode, model, upstream_timeout_seconds\n"
        "  unset KEY                             go back to the configuration file's value\n"
        "  settings                              the limits in force\n"
        "  migrate                               create or update the database schema\n"
        "\n"
        "The configuration file is /etc/quillmark-relay/relay.conf unless --config or\n"
        "QUILLMARK_RELAY_CONFIG names another.\n");
}

bool handles(const QStringList& arguments)
{
    static const QStringList commands{QStringLiteral("token"), QStringLiteral("set"),
                                      QStringLiteral("unset"), QStringLiteral("settings"),
                                      QStringLiteral("migrate")};
    return !arguments.isEmpty() && commands.contains(arguments.first());
}

int run(const QStringList& arguments, RelayStore& store, const RelayConfig& config, Clock& clock,
        QTextStream& out, QTextStream& err)
{
    const QString command = arguments.value(0);
    const QString sub = arguments.value(1);
    if (command == u"token" && sub == u"create")
        return createToken(arguments.mid(2), store, clock, out, err);
    if (command == u"token" && sub == u"list" && arguments.size() == 2)
        return listTokens(store, config, clock, out, err);
    if (command == u"token" && sub == u"revoke" && arguments.size() == 3) {
        const auto revoked = store.revoke(arguments.at(2), clock.wallNow());
        if (!revoked)
            return failed(err, store.lastError());
        if (*revoked == 0)
            return failed(err,
                          QStringLiteral("no active token is named \"%1\"").arg(arguments.at(2)));
        err << "Token \"" << arguments.at(2) << "\" revoked." << Qt::endl;
        return 0;
    }
    if (command == u"set" && arguments.size() == 3) {
        RelayPolicy check;
        if (!RelayConfig::policyKeys().contains(sub))
            return failed(err, QStringLiteral("%1 cannot be set here; keys: %2")
                                   .arg(sub, RelayConfig::policyKeys().join(QStringLiteral(", "))));
        if (auto error = RelayConfig::applyToPolicy(check, sub, arguments.at(2)))
            return failed(err, *error);
        return store.setSetting(sub, arguments.at(2)) ? 0 : failed(err, store.lastError());
    }
    if (command == u"unset" && arguments.size() == 2)
        return store.unsetSetting(sub) ? 0 : failed(err, store.lastError());
    if (command == u"settings" && arguments.size() == 1)
        return showSettings(store, config, out, err);
    if (command == u"migrate" && arguments.size() == 1) {
        err << "Database schema version " << RelayStore::latestSchemaVersion() << "." << Qt::endl;
        return 0;
    }
    err << usage();
    return 2;
}

} // namespace RelayCli
