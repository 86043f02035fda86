// SPDX-License-Identifier: MIT
#pragma once

#include <QHostAddress>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

// What the relay may do and for whom; the operator can change any of it while it runs.
struct RelayPolicy {
    int maxInputChars = 12000;
    qint64 monthlyTokens = 100000; // for tokens issued without their own figure, and open mode
    int ratePerMinute = 30;        // per credential; 0 is no limit
    bool openMode = false;         // any device id is served with monthlyTokens
    QString minAppVersion;         // empty: every version
    QString killSwitch;            // non-empty: every request is refused with this message
    QString model = QStringLiteral("gpt-4o-mini");
    int upstreamTimeoutSeconds = 60;
};

// The relay's settings: a configuration file of `key = value` lines, each of which an
// environment variable QUILLMARK_RELAY_<KEY> overrides. Listening, storage, upstream and
// TLS take effect at start; the policy keys again whenever the file changes.
struct RelayConfig {
    QHostAddress listenAddress = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 8787;
    QString upstreamURL = QStringLiteral("https://api.openai.com/v1");
    QString upstreamKeyFile;
    QString database;
    QString tlsCertificate;
    QString tlsKey;
    RelayPolicy policy;

    // Every key the file and the environment accept.
    static const QStringList& keys();
    // The keys an operator may also set in the database (`quillmark-relay set`).
    static const QStringList& policyKeys();

    // Reads the file (absent is fine: defaults) and then the environment.
    static std::variant<RelayConfig, QString> load(const QString& path,
                                                   const QProcessEnvironment& environment);

    // Sets one key from its text; an error names the key and what is wrong.
    std::optional<QString> apply(const QString& key, const QString& value);
    static std::optional<QString> applyToPolicy(RelayPolicy& policy, const QString& key,
                                                const QString& value);
};

// The configuration file used unless --config or QUILLMARK_RELAY_CONFIG names another.
QString defaultConfigPath();
