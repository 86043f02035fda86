// SPDX-License-Identifier: MIT
#include "relay/RelayStore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>
#include <QVariant>
#include <initializer_list>

namespace {

// Each step brings the schema from its index to the next version. Steps only ever get
// appended: a released step is never edited.
const QList<QStringList>& migrations()
{
    static const QList<QStringList> steps{
        {
            QStringLiteral("CREATE TABLE credentials (id TEXT PRIMARY KEY, name TEXT NOT NULL, "
                           "token_hash TEXT NOT NULL, monthly_tokens BIGINT, "
                           "created_at TEXT NOT NULL, revoked_at TEXT)"),
            QStringLiteral("CREATE UNIQUE INDEX credentials_active_name ON credentials (name) "
                           "WHERE revoked_at IS NULL"),
            QStringLiteral("CREATE TABLE ledger (credential TEXT NOT NULL, month TEXT NOT NULL, "
                           "used_tokens BIGINT NOT NULL DEFAULT 0, "
                           "reserved_tokens BIGINT NOT NULL DEFAULT 0, "
                           "requests BIGINT NOT NULL DEFAULT 0, PRIMARY KEY (credential, month))"),
            QStringLiteral("CREATE TABLE rate_windows (credential TEXT NOT NULL, "
                           "window_start BIGINT NOT NULL, requests BIGINT NOT NULL, "
                           "PRIMARY KEY (credential, window_start))"),
            QStringLiteral("CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT NOT NULL)"),
        },
    };
    return steps;
}

QString timestamp(const QDateTime& instant)
{
    return instant.toUTC().toString(Qt::ISODate);
}

} // namespace

RelayStore::RelayStore(QSqlDatabase database)
    : m_database(std::move(database))
{}

RelayStore::~RelayStore()
{
    const QString name = m_database.connectionName();
    m_database.close();
    m_database = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
}

std::variant<std::unique_ptr<RelayStore>, QString> RelayStore::open(const QString& url,
                                                                    const QString& connection)
{
    const bool postgres = url.startsWith(QStringLiteral("postgresql://")) ||
                          url.startsWith(QStringLiteral("postgres://"));
    QSqlDatabase database = QSqlDatabase::addDatabase(
        postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), connection);
    if (!database.isValid()) {
        QSqlDatabase::removeDatabase(connection);
        return QStringLiteral("the Qt SQL driver for %1 is not installed (Debian: %2)")
            .arg(postgres ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite"),
                 postgres ? QStringLiteral("libqt6sql6-psql")
                          : QStringLiteral("libqt6sql6-sqlite"));
    }
    if (postgres) {
        const QUrl parsed(url);
        const QUrlQuery query(parsed);
        const QString socketFolder =
            query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
        database.setHostName(socketFolder.isEmpty() ? parsed.host() : socketFolder);
        if (parsed.port() > 0)
            database.setPort(parsed.port());
        database.setDatabaseName(parsed.path(QUrl::FullyDecoded).mid(1));
        database.setUserName(parsed.userName(QUrl::FullyDecoded));
        database.setPassword(parsed.password(QUrl::FullyDecoded));
    } else {
        QString path = url;
        if (path.startsWith(QStringLiteral("sqlite:")))
            path = path.mid(7);
        database.setDatabaseName(path);
        database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    }
    if (!database.open()) {
        // The driver's text names the server and user, never the password.
        const QString error = database.lastError().text();
        database = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection);
        return QStringLiteral("cannot open the database: ") + error;
    }
    auto store = std::unique_ptr<RelayStore>(new RelayStore(database));
    if (!postgres) {
        // Readers go on while one writer writes; the operator's commands wait their turn.
        if (!store->run(QStringLiteral("PRAGMA journal_mode=WAL")) ||
            !store->run(QStringLiteral("PRAGMA synchronous=NORMAL")))
            return store->lastError();
    }
    return store;
}

bool RelayStore::isPostgres() const
{
    return m_database.driverName() == QStringLiteral("QPSQL");
}

namespace {

struct Statement {
    QSqlQuery query;
    bool ok;
};

} // namespace

static Statement execute(QSqlDatabase& database, QString& lastError, const QString& sql,
                         std::initializer_list<QVariant> values)
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    bool ok = query.prepare(sql);
    if (ok) {
        for (const QVariant& value : values)
            query.addBindValue(value);
        ok = query.exec();
    }
    if (!ok)
        lastError = query.lastError().text();
    return {std::move(query), ok};
}

bool RelayStore::run(const QString& statement)
{
    QSqlQuery query(m_database);
    if (query.exec(statement))
        return true;
    m_lastError = query.lastError().text();
    return false;
}

int RelayStore::latestSchemaVersion()
{
    return int(migrations().size());
}

std::optional<int> RelayStore::schemaVersion()
{
    auto [query, ok] =
        execute(m_database, m_lastError, QStringLiteral("SELECT version FROM schema_version"), {});
    if (!ok)
        return std::nullopt;
    return query.next() ? query.value(0).toInt() : 0;
}

bool RelayStore::migrate()
{
    // One instance migrates at a time; the others find the work done when they get the lock.
    // PostgreSQL's lock is the session's (two CREATE TABLE IF NOT EXISTS at once can still
    // collide there); SQLite's is the write lock the first UPDATE takes.
    const QString lockID = QStringLiteral("7261500231");
    if (isPostgres() && !run(QStringLiteral("SELECT pg_advisory_lock(%1)").arg(lockID)))
        return false;
    const bool ok = migrateLocked();
    if (isPostgres())
        run(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(lockID));
    return ok;
}

bool RelayStore::migrateLocked()
{
    if (!run(
            QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)")))
        return false;
    if (!m_database.transaction()) {
        m_lastError = m_database.lastError().text();
        return false;
    }
    const bool locked =
        isPostgres() || run(QStringLiteral("UPDATE schema_version SET version = version"));
    auto current = locked ? schemaVersion() : std::nullopt;
    bool ok = current.has_value();
    if (ok && *current > latestSchemaVersion()) {
        m_lastError = QStringLiteral("the database has schema %1, newer than this relay's %2")
                          .arg(*current)
                          .arg(latestSchemaVersion());
        ok = false;
    }
    if (ok && *current == 0) {
        auto [query, counted] = execute(m_database, m_lastError,
                                        QStringLiteral("SELECT COUNT(*) FROM schema_version"), {});
        ok = counted && query.next() &&
             (query.value(0).toInt() > 0 ||
              run(QStringLiteral("INSERT INTO schema_version (version) VALUES (0)")));
    }
    for (int step = ok ? *current : latestSchemaVersion(); ok && step < latestSchemaVersion();
         ++step) {
        for (const QString& statement : migrations().at(step))
            ok = ok && run(statement);
        ok = ok && execute(m_database, m_lastError,
                           QStringLiteral("UPDATE schema_version SET version = ?"), {step + 1})
                       .ok;
    }
    if (ok && m_database.commit())
        return true;
    if (ok)
        m_lastError = m_database.lastError().text();
    m_database.rollback();
    return false;
}

bool RelayStore::addCredential(const QString& id, const QString& name, const QByteArray& tokenHash,
                               std::optional<qint64> monthlyTokens, const QDateTime& now)
{
    return execute(
               m_database, m_lastError,
               QStringLiteral("INSERT INTO credentials (id, name, token_hash, monthly_tokens, "
                              "created_at) VALUES (?, ?, ?, ?, ?)"),
               {id, name, QString::fromLatin1(tokenHash.toHex()),
                monthlyTokens ? QVariant(*monthlyTokens) : QVariant(QMetaType(QMetaType::LongLong)),
                timestamp(now)})
        .ok;
}

namespace {

RelayStore::Credential credentialOf(const QSqlQuery& query)
{
    RelayStore::Credential credential;
    credential.id = query.value(0).toString();
    credential.name = query.value(1).toString();
    credential.tokenHash = QByteArray::fromHex(query.value(2).toString().toLatin1());
    if (!query.value(3).isNull())
        credential.monthlyTokens = query.value(3).toLongLong();
    credential.createdAt = QDateTime::fromString(query.value(4).toString(), Qt::ISODate);
    if (!query.value(5).isNull())
        credential.revokedAt = QDateTime::fromString(query.value(5).toString(), Qt::ISODate);
    return credential;
}

} // namespace

std::optional<std::optional<RelayStore::Credential>> RelayStore::credential(const QString& id)
{
    auto [query, ok] =
        execute(m_database, m_lastError,
                QStringLiteral("SELECT id, name, token_hash, monthly_tokens, "
                               "created_at, revoked_at FROM credentials WHERE id = ?"),
                {id});
    if (!ok)
        return std::nullopt;
    if (!query.next())
        return std::optional<Credential>();
    return std::optional<Credential>(credentialOf(query));
}

std::optional<QList<RelayStore::Credential>> RelayStore::credentials(const QString& month)
{
    auto [query, ok] = execute(
        m_database, m_lastError,
        QStringLiteral("SELECT c.id, c.name, c.token_hash, c.monthly_tokens, c.created_at, "
                       "c.revoked_at, COALESCE(l.used_tokens, 0) FROM credentials c LEFT JOIN "
                       "ledger l ON l.credential = c.id AND l.month = ? "
                       "ORDER BY c.created_at, c.name"),
        {month});
    if (!ok)
        return std::nullopt;
    QList<Credential> all;
    while (query.next()) {
        all.append(credentialOf(query));
        all.last().usedThisMonth = query.value(6).toLongLong();
    }
    return all;
}

std::optional<int> RelayStore::revoke(const QString& name, const QDateTime& now)
{
    auto [query, ok] =
        execute(m_database, m_lastError,
                QStringLiteral(
                    "UPDATE credentials SET revoked_at = ? WHERE name = ? AND revoked_at IS NULL"),
                {timestamp(now), name});
    if (!ok)
        return std::nullopt;
    return query.numRowsAffected();
}

std::optional<QList<QPair<QString, QString>>> RelayStore::settings()
{
    auto [query, ok] = execute(m_database, m_lastError,
                               QStringLiteral("SELECT key, value FROM settings ORDER BY key"), {});
    if (!ok)
        return std::nullopt;
    QList<QPair<QString, QString>> all;
    while (query.next())
        all.append({query.value(0).toString(), query.value(1).toString()});
    return all;
}

bool RelayStore::setSetting(const QString& key, const QString& value)
{
    return execute(m_database, m_lastError,
                   QStringLiteral("INSERT INTO settings (key, value) VALUES (?, ?) "
                                  "ON CONFLICT (key) DO UPDATE SET value = excluded.value"),
                   {key, value})
        .ok;
}

bool RelayStore::unsetSetting(const QString& key)
{
    return execute(m_database, m_lastError, QStringLiteral("DELETE FROM settings WHERE key = ?"),
                   {key})
        .ok;
}

std::optional<qint64> RelayStore::countRequest(const QString& credential, qint64 window)
{
    if (window != m_prunedWindow) {
        m_prunedWindow = window;
        if (!execute(m_database, m_lastError,
                     QStringLiteral("DELETE FROM rate_windows WHERE window_start < ?"), {window})
                 .ok)
            return std::nullopt;
    }
    auto [query, ok] = execute(
        m_database, m_lastError,
        QStringLiteral("INSERT INTO rate_windows (credential, window_start, requests) "
                       "VALUES (?, ?, 1) ON CONFLICT (credential, window_start) "
                       "DO UPDATE SET requests = rate_windows.requests + 1 RETURNING requests"),
        {credential, window});
    if (!ok || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

std::optional<bool> RelayStore::reserve(const QString& credential, const QString& month,
                                        qint64 estimate, qint64 quota)
{
    if (quota <= 0)
        return false;
    auto [query, ok] = execute(
        m_database, m_lastError,
        QStringLiteral("INSERT INTO ledger (credential, month, used_tokens, reserved_tokens, "
                       "requests) VALUES (?, ?, 0, ?, 0) ON CONFLICT (credential, month) "
                       "DO UPDATE SET reserved_tokens = ledger.reserved_tokens + "
                       "excluded.reserved_tokens "
                       "WHERE ledger.used_tokens + ledger.reserved_tokens < ?"),
        {credential, month, estimate, quota});
    if (!ok)
        return std::nullopt;
    return query.numRowsAffected() > 0;
}

std::optional<qint64> RelayStore::settle(const QString& credential, const QString& month,
                                         qint64 tokens, qint64 estimate)
{
    auto [query, ok] =
        execute(m_database, m_lastError,
                QStringLiteral("UPDATE ledger SET used_tokens = used_tokens + ?, "
                               "reserved_tokens = reserved_tokens - ?, requests = requests + 1 "
                               "WHERE credential = ? AND month = ? RETURNING used_tokens"),
                {tokens, estimate, credential, month});
    if (!ok || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

bool RelayStore::release(const QString& credential, const QString& month, qint64 estimate)
{
    return execute(m_database, m_lastError,
                   QStringLiteral("UPDATE ledger SET reserved_tokens = reserved_tokens - ? "
                                  "WHERE credential = ? AND month = ?"),
                   {estimate, credential, month})
        .ok;
}

std::optional<QPair<qint64, qint64>> RelayStore::usage(const QString& credential,
                                                       const QString& month)
{
    auto [query, ok] =
        execute(m_database, m_lastError,
                QStringLiteral(
                    "SELECT used_tokens, requests FROM ledger WHERE credential = ? AND month = ?"),
                {credential, month});
    if (!ok)
        return std::nullopt;
    if (!query.next())
        return QPair<qint64, qint64>{0, 0};
    return QPair<qint64, qint64>{query.value(0).toLongLong(), query.value(1).toLongLong()};
}
