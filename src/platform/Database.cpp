#include "platform/Database.h"

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
    int number = e.nativeErrorCode().toInt(&ok);
    if (!ok)
        number = int(e.type());
    QString text = e.databaseText();
    if (text.isEmpty())
        text = e.text();
    return {number, text};
}

bool Database::open(const QString& path, ErrorInfo* error, bool createIfMissing, bool readOnly)
{
    close();
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
    // journal. Setting the mode writes the file, so a read-only handle leaves it.
    if (!readOnly) {
        QSqlQuery q(handle());
        q.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    }
    return true;
}

bool Database::attach(const QString& path, const QString& alias, ErrorInfo* error)
{
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
    q.setForwardOnly(true);
    return q;
}

int Database::execute(const QString& sql, const QVariantList& binds, ErrorInfo* error)
{
    if (!isOpen()) {
        if (error)
            *error = {kSqliteMisuse, QStringLiteral("database is not open")};
        return -1;
    }
    QSqlQuery q = newQuery();
    if (!q.prepare(sql)) {
        if (error)
            *error = errorOf(q.lastError());
        return -1;
    }
    for (const QVariant& v : binds)
        q.addBindValue(v);
    if (!q.exec()) {
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
    if (!q.prepare(sql)) {
        if (error)
            *error = errorOf(q.lastError());
        return {};
    }
    for (const QVariant& v : binds)
        q.addBindValue(v);
    if (!q.exec()) {
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
    return scalar(QStringLiteral("PRAGMA user_version")).toInt();
}

bool Database::setUserVersion(int version)
{
    return execute(QStringLiteral("PRAGMA user_version = %1").arg(version)) >= 0;
}

Transaction::Transaction(Database& db) : m_db(db)
{
    m_name = QStringLiteral("sp%1").arg(++db.m_savepointCounter);
    m_active = db.execute(QStringLiteral("SAVEPOINT ") + m_name) >= 0;
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
    const bool ok = m_db.execute(QStringLiteral("RELEASE ") + m_name, {}, error) >= 0;
    if (!ok) {
        rollback();
        return false;
    }
    m_active = false;
    --m_db.m_depth;
    return true;
}

void Transaction::rollback()
{
    if (!m_active)
        return;
    m_db.execute(QStringLiteral("ROLLBACK TO ") + m_name);
    m_db.execute(QStringLiteral("RELEASE ") + m_name);
    m_active = false;
    --m_db.m_depth;
}
