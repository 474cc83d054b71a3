#include "core/DbAccess.h"

#include <QDir>
#include <QSqlError>
#include <QSqlRecord>

namespace {
constexpr int kErrObjectNotFound = 3011;
constexpr int kErrNoHandle = 91;

bool openRecordSet(Database& db, QSqlQuery& rs, const QString& sql, const QVariantList& binds)
{
    if (!db.isOpen()) {
        ShowQueryError({kErrNoHandle, QStringLiteral("Object variable or With block variable not set")}, sql, true);
        return false;
    }
    rs = db.newQuery();
    if (!rs.prepare(sql)) {
        ShowQueryError(Database::errorOf(rs.lastError()), sql);
        rs = QSqlQuery();
        return false;
    }
    for (const QVariant& v : binds)
        rs.addBindValue(v);
    if (!rs.exec()) {
        ShowQueryError(Database::errorOf(rs.lastError()), sql);
        rs = QSqlQuery();
        return false;
    }
    return true;
}
} // namespace

bool OpenDB(Database& db, const QString& path, bool exclusive, ErrorInfo* error)
{
    Q_UNUSED(exclusive) // single-user files: shared is the only mode Tallox uses
    ErrorInfo e;
    if (!db.open(path, &e)) {
        MsgError(QStringLiteral("프로그램 수행도중 오류가 발생했습니다."), e);
        if (error)
            *error = e;
        return false;
    }
    return true;
}

void ShowQueryError(const ErrorInfo& error, const QString& sql, bool handleMissing)
{
    const QString desc = error.description;
    const bool notFound = desc.contains(QStringLiteral("no such table"), Qt::CaseInsensitive) ||
                          desc.contains(QStringLiteral("no such column"), Qt::CaseInsensitive) ||
                          error.number == kErrObjectNotFound;
    const QString cr = QStringLiteral("\r");
    if (handleMissing || error.number == kErrNoHandle)
        MsgInfo(QStringLiteral("Data Base MDB가 선언되지 않았습니다.") + cr + sql, QStringLiteral("MDB 오류"));
    else if (notFound)
        MsgInfo(QStringLiteral("Jet Data Base Engine의 식을 확인하세요.") + cr + sql, QStringLiteral("Query"));
    else
        MsgInfo(desc + cr + sql, QStringLiteral("ERROR"));
}

bool OpenSnapshot(Database& db, QSqlQuery& rs, const QString& sql, const QVariantList& binds)
{
    return openRecordSet(db, rs, sql, binds);
}

bool OpenDynaset(Database& db, QSqlQuery& rs, const QString& sql, const QVariantList& binds)
{
    return openRecordSet(db, rs, sql, binds);
}

void CloseRs(QSqlQuery& rs)
{
    rs.finish();
    rs = QSqlQuery();
}

void CloseRs(Database& db)
{
    db.close();
}

QString SqlTypeForFieldCode(int fieldType)
{
    switch (fieldType) {
    case 1: // boolean
    case 2: // byte
    case 3: // integer
    case 4: // long integer
    case 5: // currency, in ten-thousandths
        return QStringLiteral("INTEGER");
    case 6: // single
    case 7: // double
        return QStringLiteral("REAL");
    case 8: // date/time
    case 10: // text
    case 12: // memo
        return QStringLiteral("TEXT");
    default:
        return QStringLiteral("BLOB");
    }
}

bool AddField_Dao(Database& db, const QString& table, const QString& field, int fieldType, int size,
                  bool allowZeroLength, const QString& followUpSql)
{
    Q_UNUSED(size)            // SQLite columns have no declared size
    Q_UNUSED(allowZeroLength) // SQLite text always allows ""
    ErrorInfo e;
    QSqlQuery q = db.newQuery();
    q.prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND lower(name) = lower(?)"));
    q.addBindValue(table);
    if (!q.exec()) {
        MsgProcError(Database::errorOf(q.lastError()), QStringLiteral("AddField_Dao"), QStringLiteral("mdlCommonQV"));
        return false;
    }
    if (!q.next())
        return false;
    const QString realTable = q.value(0).toString();
    q.finish();

    QSqlQuery cols = db.newQuery();
    if (!cols.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(QString(realTable).replace('"', "\"\"")))) {
        MsgProcError(Database::errorOf(cols.lastError()), QStringLiteral("AddField_Dao"), QStringLiteral("mdlCommonQV"));
        return false;
    }
    while (cols.next()) {
        if (cols.value(1).toString().compare(field, Qt::CaseInsensitive) == 0)
            return false;
    }
    cols.finish();

    Transaction tx(db);
    const QString alter = QStringLiteral("ALTER TABLE \"%1\" ADD COLUMN \"%2\" %3")
                              .arg(QString(realTable).replace('"', "\"\""), QString(field).replace('"', "\"\""),
                                   SqlTypeForFieldCode(fieldType));
    if (!tx.isActive() || db.execute(alter, {}, &e) < 0 ||
        (!followUpSql.isEmpty() && db.execute(followUpSql, {}, &e) < 0) || !tx.commit(&e)) {
        if (e.description.isEmpty())
            e = Database::errorOf(db.handle().lastError());
        MsgProcError(e, QStringLiteral("AddField_Dao"), QStringLiteral("mdlCommonQV"));
        return false;
    }
    return true;
}

void UpgradeSchema(Database& ledger)
{
    AddField_Dao(ledger, QStringLiteral("Tallox"), QStringLiteral("numsheet"), 4, 0, false,
                 QStringLiteral("UPDATE Tallox SET numsheet = 1"));
}

bool CreateLedgerSchema(Database& ledger, ErrorInfo* error)
{
    // Money columns hold ten-thousandths; new rows get 0 in all three amounts.
    const QStringList statements = {
        QStringLiteral("CREATE TABLE IF NOT EXISTS Tallox ("
                       " code INTEGER PRIMARY KEY AUTOINCREMENT,"
                       " sdate TEXT NOT NULL DEFAULT '',"
                       " cardcode INTEGER NOT NULL DEFAULT 0,"
                       " sale INTEGER NOT NULL DEFAULT 0,"
                       " fee INTEGER NOT NULL DEFAULT 0,"
                       " billcoll INTEGER NOT NULL DEFAULT 0,"
                       " numsheet INTEGER)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS ix_tallox_sdate ON Tallox (sdate, code)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS ix_tallox_card_sdate ON Tallox (cardcode, sdate)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS transfer ("
                       " sMonth TEXT NOT NULL,"
                       " amount INTEGER NOT NULL DEFAULT 0,"
                       " cardcode INTEGER NOT NULL)"),
        QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS ux_transfer_card_month ON transfer (cardcode, sMonth)"),
    };
    Transaction tx(ledger);
    for (const QString& s : statements) {
        if (ledger.execute(s, {}, error) < 0)
            return false;
    }
    return ledger.setUserVersion(1) && tx.commit(error);
}

bool CreateCardSchema(Database& card, ErrorInfo* error)
{
    const QStringList statements = {
        QStringLiteral("CREATE TABLE IF NOT EXISTS Plastra ("
                       " code INTEGER PRIMARY KEY,"
                       " name TEXT NOT NULL DEFAULT '',"
                       " fee REAL DEFAULT 0,"
                       " setday INTEGER DEFAULT 0)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS ix_plastra_name ON Plastra (name)"),
    };
    Transaction tx(card);
    for (const QString& s : statements) {
        if (card.execute(s, {}, error) < 0)
            return false;
    }
    return card.setUserVersion(1) && tx.commit(error);
}

bool CreateDatabaseFiles(const QString& folder, ErrorInfo* error)
{
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = {14, QStringLiteral("cannot create folder '%1'").arg(folder)};
        return false;
    }
    Database ledger;
    if (!ledger.open(QDir(folder).filePath(QStringLiteral("dbTallox.db")), error, true) ||
        !CreateLedgerSchema(ledger, error))
        return false;
    Database card;
    return card.open(QDir(folder).filePath(QStringLiteral("Plastra.db")), error, true) && CreateCardSchema(card, error);
}
