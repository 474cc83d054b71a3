#include "data/db/Database.h"

#include "data/db/ServerAddress.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QUuid>

namespace {
constexpr int kSqliteCantOpen = 14;
constexpr int kSqliteMisuse = 21;
} // namespace

Database::Database() : Database(QStringLiteral("tallox-") + QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

Database::Database(const QString& connectionName) : m_name(connectionName) {}

Database::~Database()
{
    close();
}

ErrorInfo Database::errorOf(const QSqlError& e)
{
    bool ok = false;
    const QString code = e.nativeErrorCode();
    int number = code == QLatin1String("40P01") ? int(ServerDeadlock) : code.toInt(&ok);
    ok = ok || number == ServerDeadlock;
    if (!ok)
        number = int(e.type());
    QString text = e.databaseText();
    if (text.isEmpty())
        text = e.text();
    // A role that may only read: said in words, the server's own text after them.
    if (number == ServerNoRights || number == ServerReadOnly)
        text = QCoreApplication::translate("Database",
                                           "이 사용자는 서버의 장부를 읽기만 할 수 있어 저장하지 않았습니다.") +
               QLatin1Char('\n') + text.trimmed();
    return {number, text};
}

bool Database::open(const QString& path, ErrorInfo* error, bool createIfMissing, bool readOnly, bool needSchema)
{
    close();
    if (ServerAddress::Looks(path))
        return openServer(path, error, readOnly, needSchema);
    const QFileInfo fi(path);
    if (!createIfMissing && !fi.exists()) {
        if (error)
            *error = {kSqliteCantOpen, QStringLiteral("unable to open database file: '%1' does not exist").arg(path)};
        return false;
    }
    if (fi.exists() && !fi.isFile()) {
        if (error)
            *error = {kSqliteCantOpen, QStringLiteral("unable to open database file: '%1' is not a file").arg(path)};
        return false;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000") +
                             (readOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
        if (!db.open()) {
            if (error)
                *error = errorOf(db.lastError());
        }
    }
    if (!handle().isOpen()) {
        QSqlDatabase::removeDatabase(m_name);
        return false;
    }
    m_path = path;
    // Reading the schema proves the file is a database that can be read now
    // (not damaged, not some other file, not locked by another program).
    bool readable = false;
    {
        QSqlQuery q(handle());
        readable = q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) && q.next();
        if (!readable && error)
            *error = errorOf(q.lastError());
    }
    if (!readable) {
        close();
        return false;
    }
    // Write-ahead log: a reader (a backup taking its snapshot) never blocks a
    // stored edit, and a commit appends to the log instead of rewriting a
    // journal. Setting the mode writes the file, so a read-only handle leaves
    // it. Books it cannot be set on are not opened for writing.
    bool logged = readOnly;
    if (!readOnly) {
        QSqlQuery q(handle());
        const bool ran = q.exec(QStringLiteral("PRAGMA journal_mode = WAL")) && q.next();
        const QString mode = ran ? q.value(0).toString() : QString();
        logged = mode.compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
        if (!logged && error)
            *error = ran ? ErrorInfo{kSqliteCantOpen,
                                     QStringLiteral("cannot use write-ahead logging on '%1' (journal mode %2)")
                                         .arg(path, mode)}
                         : errorOf(q.lastError());
    }
    if (!logged)
        close();
    return logged;
}

bool Database::deferCheckpoints()
{
    if (!isOpen() || isServer())
        return false;
    return execute(QStringLiteral("PRAGMA wal_autocheckpoint = 0")) >= 0 &&
           scalar(QStringLiteral("PRAGMA wal_autocheckpoint")).toInt() == 0;
}

bool Database::checkpointLog(ErrorInfo* error)
{
    if (isServer())
        return true;
    ErrorInfo e;
    scalar(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"), {}, &e);
    return !e.isSet() || fail(error, e);
}

bool Database::attach(const QString& path, const QString& alias, ErrorInfo* error)
{
    if (isServer()) {
        // One database holds both: the card schema must be there, every other alias is the ledger's.
        if (alias == QLatin1String("card") && !tableExists(QStringLiteral("card"), QStringLiteral("plastra")))
            return fail(error, {ServerNoSchema, QStringLiteral("schema \"card\" has no table plastra")});
        m_aliases.append(alias);
        return true;
    }
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = {kSqliteCantOpen, QStringLiteral("unable to open database file: '%1' does not exist").arg(path)};
        return false;
    }
    QSqlQuery q(handle());
    q.prepare(QStringLiteral("ATTACH DATABASE ? AS ") + alias);
    q.addBindValue(path);
    if (!q.exec()) {
        if (error)
            *error = errorOf(q.lastError());
        return false;
    }
    return true;
}

void Database::close()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_path.clear();
    m_depth = 0;
    m_engine = Engine::Sqlite;
    m_aliases.clear();
}

bool Database::isOpen() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Database::handle() const
{
    return QSqlDatabase::database(m_name, false);
}

QSqlQuery Database::newQuery() const
{
    QSqlQuery q(handle());
    // The server driver streams a forward-only result and drops it when the
    // connection runs another statement meanwhile; there a result is read whole.
    q.setForwardOnly(!isServer());
    return q;
}

namespace {
// A statement with its values. The server prepares only queries and changes
// of rows (not SET, BEGIN or CREATE): one without values runs as it is.
bool run(QSqlQuery& q, const QString& sql, const QVariantList& binds)
{
    if (binds.isEmpty() && q.driver() && q.driver()->dbmsType() == QSqlDriver::PostgreSQL)
        return q.exec(sql);
    if (!q.prepare(sql))
        return false;
    for (const QVariant& v : binds)
        q.addBindValue(v);
    return q.exec();
}
} // namespace

int Database::execute(const QString& sql, const QVariantList& binds, ErrorInfo* error)
{
    if (!isOpen()) {
        if (error)
            *error = {kSqliteMisuse, QStringLiteral("database is not open")};
        return -1;
    }
    QSqlQuery q = newQuery();
    if (!run(q, sql, binds)) {
        if (error)
            *error = errorOf(q.lastError());
        return -1;
    }
    return q.numRowsAffected();
}

QVariant Database::scalar(const QString& sql, const QVariantList& binds, ErrorInfo* error) const
{
    if (!isOpen()) {
        if (error)
            *error = {kSqliteMisuse, QStringLiteral("database is not open")};
        return {};
    }
    QSqlQuery q = newQuery();
    if (!run(q, sql, binds)) {
        if (error)
            *error = errorOf(q.lastError());
        return {};
    }
    if (!q.next())
        return {};
    return q.value(0);
}

int Database::userVersion() const
{
    if (isServer())
        return scalar(QStringLiteral("SELECT max(version) FROM main.tallox_version")).toInt();
    return scalar(QStringLiteral("PRAGMA user_version")).toInt();
}

bool Database::setUserVersion(int version)
{
    if (isServer())
        return execute(QStringLiteral("DELETE FROM main.tallox_version")) >= 0 &&
               execute(QStringLiteral("INSERT INTO main.tallox_version (version) VALUES (?)"), {version}) == 1;
    return execute(QStringLiteral("PRAGMA user_version = %1").arg(version)) >= 0;
}

QString Database::schemaOf(const QString& alias) const
{
    if (!isServer() || alias == QLatin1String("card") || alias == QLatin1String("main"))
        return alias;
    return QStringLiteral("main");
}

bool Database::isAttached(const QString& alias) const
{
    if (isServer())
        return m_aliases.contains(alias);
    return !scalar(QStringLiteral("SELECT name FROM pragma_database_list WHERE name = ?"), {alias}).isNull();
}

bool Database::tableExists(const QString& schema, const QString& table) const
{
    if (isServer())
        return scalar(QStringLiteral("SELECT to_regclass(?) IS NOT NULL"),
                      {schemaOf(schema) + QLatin1Char('.') + table.toLower()})
            .toBool();
    return scalar(QStringLiteral("SELECT count(*) FROM %1.sqlite_master WHERE type = 'table' AND name = ?").arg(schema),
                  {table})
               .toInt() > 0;
}

QStringList Database::columnsOf(const QString& schema, const QString& table, ErrorInfo* error) const
{
    QSqlQuery q = newQuery();
    const bool ok =
        isServer()
            ? q.prepare(QStringLiteral("SELECT lower(column_name) FROM information_schema.columns"
                                       " WHERE table_schema = ? AND table_name = lower(?) ORDER BY ordinal_position"))
            : q.prepare(QStringLiteral("SELECT lower(name) FROM pragma_table_info(?, ?)"));
    if (isServer()) {
        q.addBindValue(schemaOf(schema));
        q.addBindValue(table);
    } else {
        q.addBindValue(table);
        q.addBindValue(schema);
    }
    QStringList columns;
    if (!ok || !q.exec()) {
        fail(error, errorOf(q.lastError()));
        return {};
    }
    while (q.next())
        columns.append(q.value(0).toString());
    if (q.lastError().isValid())
        fail(error, errorOf(q.lastError()));
    return columns;
}

QString Database::quoted(const QString& name) const
{
    const QString folded = isServer() ? name.toLower() : name;
    return QLatin1Char('"') + QString(folded).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

bool Database::isBroken() const
{
    // The server's driver says "not open" once libpq found the connection gone.
    return isServer() && QSqlDatabase::contains(m_name) && !handle().isOpen();
}

bool Database::IsRetryable(const ErrorInfo& e)
{
    return e.engineCode == ServerSerialization || e.engineCode == ServerDeadlock;
}

Transaction::Transaction(Database& db) : m_db(db)
{
    m_name = QStringLiteral("sp%1").arg(++db.m_savepointCounter);
    // A server needs a transaction around its savepoints.
    if (db.isServer() && db.m_depth == 0)
        m_name.clear();
    m_active = db.execute(m_name.isEmpty() ? QStringLiteral("BEGIN ISOLATION LEVEL SERIALIZABLE")
                                           : QStringLiteral("SAVEPOINT ") + m_name) >= 0;
    if (m_active)
        ++db.m_depth;
}

Transaction::~Transaction()
{
    if (m_active)
        rollback();
}

bool Transaction::commit(ErrorInfo* error)
{
    if (!m_active)
        return false;
    // The server's id of the transaction, when it wrote anything, and of the
    // session: should the reply to COMMIT be lost, the server still knows
    // whether it committed.
    qint64 xid = 0, pid = 0;
    if (m_name.isEmpty() && m_db.isServer()) {
        QSqlQuery q = m_db.newQuery();
        if (!q.exec(QStringLiteral("SELECT txid_current_if_assigned(), pg_backend_pid()")) || !q.next()) {
            fail(error, Database::errorOf(q.lastError()));
            rollback();
            return false;
        }
        xid = q.isNull(0) ? 0 : q.value(0).toLongLong();
        pid = q.value(1).toLongLong();
    }
    ErrorInfo e;
    const bool ok =
        m_db.execute(m_name.isEmpty() ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE ") + m_name, {}, &e) >= 0;
    if (ok) {
        m_active = false;
        --m_db.m_depth;
        return true;
    }
    rollback();
    if (xid > 0 && m_db.isBroken())
        return m_db.settleLostCommit(xid, pid, e, error);
    return fail(error, e);
}

bool Transaction::rollback(ErrorInfo* error)
{
    if (!m_active)
        return true;
    m_active = false;
    --m_db.m_depth;
    ErrorInfo e;
    const bool ok = m_name.isEmpty() ? m_db.execute(QStringLiteral("ROLLBACK"), {}, &e) >= 0
                                     : m_db.execute(QStringLiteral("ROLLBACK TO ") + m_name, {}, &e) >= 0 &&
                                           m_db.execute(QStringLiteral("RELEASE ") + m_name, {}, &e) >= 0;
    if (ok)
        return true;
    // A transaction left open would take in every later change and lose it
    // at close; ending all of it makes the enclosing ones fail to commit too.
    if (!m_name.isEmpty())
        m_db.execute(QStringLiteral("ROLLBACK"));
    if (error && error->isSet())
        error->description += QStringLiteral(" (rollback failed: %1)").arg(e.description);
    else if (error)
        *error = e;
    return false;
}

ReadSnapshot::ReadSnapshot(Database& db) : m_db(db)
{
    if (db.m_depth > 0 || !QSqlDatabase::contains(db.m_name))
        return;
    // REPEATABLE READ: every statement sees what was committed when the first began.
    const QString begin =
        db.isServer() ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY") : QStringLiteral("BEGIN");
    m_active = db.execute(begin) >= 0;
    // An idle connection learns only now that the server went away.
    bool reopened = false;
    if (!m_active && db.isBroken() && db.reconnect(&reopened, &m_error))
        m_active = db.execute(begin) >= 0;
    if (m_active)
        ++db.m_depth;
}

ReadSnapshot::~ReadSnapshot()
{
    if (!m_active)
        return;
    --m_db.m_depth;
    // Never left open: a store after it would nest in it and never be written.
    if (m_db.execute(QStringLiteral("COMMIT")) < 0)
        m_db.execute(QStringLiteral("ROLLBACK"));
}

bool ReadSnapshot::ok(ErrorInfo* error) const
{
    return !m_error.isSet() || fail(error, m_error);
}
