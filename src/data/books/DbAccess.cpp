#include "data/books/DbAccess.h"

#include "data/books/History.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlError>
#include <QSqlRecord>
#include <algorithm>
#include <limits>

namespace {

bool openRecordSet(Database& db, QSqlQuery& rs, const QString& sql, const QVariantList& binds, ErrorInfo* error)
{
    if (!db.isOpen())
        return fail(error, ErrorInfo(ErrorCode::NoConnection).asQuery(sql));
    rs = db.newQuery();
    bool ok = rs.prepare(sql);
    if (ok) {
        for (const QVariant& v : binds)
            rs.addBindValue(v);
        ok = rs.exec();
    }
    if (!ok) {
        const ErrorInfo e = Database::errorOf(rs.lastError()).asQuery(sql);
        rs = QSqlQuery();
        return fail(error, e);
    }
    return true;
}
} // namespace

bool OpenDB(Database& db, const QString& path, bool exclusive, ErrorInfo* error, bool readOnly)
{
    Q_UNUSED(exclusive) // single-user files: shared is the only mode Tallox uses
    ErrorInfo e;
    if (!db.open(path, &e, false, readOnly))
        return fail(error,
                    e.asEngine(QCoreApplication::translate("DbAccess", "프로그램 수행도중 오류가 발생했습니다.")));
    return true;
}

bool OpenSnapshot(Database& db, QSqlQuery& rs, const QString& sql, const QVariantList& binds, ErrorInfo* error)
{
    return openRecordSet(db, rs, sql, binds, error);
}

bool FinishRead(QSqlQuery& rs, ErrorInfo* error)
{
    const QSqlError e = rs.lastError();
    CloseRs(rs);
    if (e.isValid())
        return fail(error, Database::errorOf(e));
    return true;
}

bool ReadMoney(const QVariant& v, Money* out)
{
    if (v.isNull()) {
        *out = Money();
        return true;
    }
    // The server's driver hands a positive BIGINT over as unsigned.
    const bool unsignedFits =
        v.typeId() == QMetaType::ULongLong && v.toULongLong() <= quint64(std::numeric_limits<qint64>::max());
    if (v.typeId() != QMetaType::LongLong && v.typeId() != QMetaType::Int && !unsignedFits)
        return false;
    *out = Money::fromUnits(v.toLongLong());
    return true;
}

ErrorInfo NotAnAmount()
{
    return ErrorInfo(ErrorCode::TypeMismatch)
        .asEngine(
            QCoreApplication::translate("DbAccess", "정수가 아닌 금액이 저장되어 있습니다. 금액을 읽을 수 없습니다."));
}

ErrorInfo MoneyOverflow()
{
    return ErrorInfo(ErrorCode::Overflow)
        .asEngine(QCoreApplication::translate("DbAccess", "금액의 합계가 표시할 수 있는 범위를 벗어났습니다."));
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
    case FieldType::Boolean:
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long:
    case FieldType::Currency:
        return QStringLiteral("INTEGER");
    case FieldType::Single:
    case FieldType::Double:
        return QStringLiteral("REAL");
    case FieldType::DateTime:
    case FieldType::Text:
    case FieldType::Memo:
        return QStringLiteral("TEXT");
    default:
        return QStringLiteral("BLOB");
    }
}

bool AddField_Dao(Database& db, const QString& table, const QString& field, int fieldType, int size,
                  bool allowZeroLength, const QString& followUpSql, ErrorInfo* error)
{
    const auto failed = [error](const ErrorInfo& e) { return fail(error, e.at(ErrorPlace::AddField)); };
    Q_UNUSED(size)            // SQLite columns have no declared size
    Q_UNUSED(allowZeroLength) // SQLite text always allows ""
    ErrorInfo e;
    QSqlQuery q = db.newQuery();
    q.prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND lower(name) = lower(?)"));
    q.addBindValue(table);
    if (!q.exec()) {
        return failed(Database::errorOf(q.lastError()));
    }
    if (!q.next())
        return q.lastError().isValid() ? failed(Database::errorOf(q.lastError())) : false;
    const QString realTable = q.value(0).toString();
    q.finish();

    QSqlQuery cols = db.newQuery();
    if (!cols.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(QString(realTable).replace('"', "\"\"")))) {
        return failed(Database::errorOf(cols.lastError()));
    }
    while (cols.next()) {
        if (cols.value(1).toString().compare(field, Qt::CaseInsensitive) == 0)
            return false;
    }
    if (!FinishRead(cols, &e))
        return failed(e);

    Transaction tx(db);
    const QString alter = QStringLiteral("ALTER TABLE \"%1\" ADD COLUMN \"%2\" %3")
                              .arg(QString(realTable).replace('"', "\"\""), QString(field).replace('"', "\"\""),
                                   SqlTypeForFieldCode(fieldType));
    if (!tx.isActive() || db.execute(alter, {}, &e) < 0 ||
        (!followUpSql.isEmpty() && db.execute(followUpSql, {}, &e) < 0) || !tx.commit(&e)) {
        if (e.description.isEmpty())
            e = Database::errorOf(db.handle().lastError());
        return failed(e);
    }
    return true;
}

namespace {
// The columns of the main file's ledger table, in lower case; none when it is missing.
bool ledgerColumns(Database& ledger, QStringList* columns, ErrorInfo* error)
{
    ErrorInfo e;
    *columns = ledger.columnsOf(QStringLiteral("main"), QStringLiteral("Tallox"), &e);
    return !e.isSet() || fail(error, e);
}

// A ledger of Tallox has every column of Tallox's own in its table; one from
// before the slip count lacks only that. Another program's file (or an empty
// one) is refused with words, not with the engine's "no such table".
bool needsSlipCount(Database& ledger, bool* needs, ErrorInfo* error)
{
    QStringList columns;
    if (!ledgerColumns(ledger, &columns, error))
        return false;
    const QStringList own = {QStringLiteral("code"), QStringLiteral("sdate"), QStringLiteral("cardcode"),
                             QStringLiteral("sale"), QStringLiteral("fee"),   QStringLiteral("billcoll")};
    if (!std::all_of(own.begin(), own.end(), [&](const QString& c) { return columns.contains(c); }))
        return fail(error,
                    ErrorInfo::notice(QCoreApplication::translate("DbAccess", "Tallox 원장 파일이 아닙니다.\r\n\r\n") +
                                      QDir::toNativeSeparators(ledger.path())));
    *needs = !columns.contains(QStringLiteral("numsheet"));
    return true;
}
} // namespace

bool UpgradeSchema(Database& ledger, ErrorInfo* error)
{
    bool needs = false;
    if (!needsSlipCount(ledger, &needs, error))
        return false;
    ErrorInfo e;
    // Every stored change writes its history row: the table comes with the first writing use.
    if (!History::TableExists(ledger, QStringLiteral("main")) &&
        !History::EnsureTable(ledger, QStringLiteral("main"), &e))
        return fail(error, e.at(ErrorPlace::UpgradeSchema));
    if (needs &&
        !AddField_Dao(ledger, QStringLiteral("Tallox"), QStringLiteral("numsheet"), FieldType::Long, 0, false,
                      QStringLiteral("UPDATE Tallox SET numsheet = 1"), &e) &&
        e.isSet())
        return fail(error, e);
    return true;
}

bool ReadAsUpgraded(Database& ledger, ErrorInfo* error)
{
    ErrorInfo e;
    bool needs = false;
    if (!needsSlipCount(ledger, &needs, error))
        return false;
    // A temporary view lives in the connection, not in the file; it hides the
    // table for every unqualified "Tallox" and shows what the upgrade would store.
    if (needs && ledger.execute(QStringLiteral("CREATE TEMP VIEW Tallox AS SELECT *, 1 AS numsheet FROM main.Tallox"),
                                {}, &e) < 0)
        return fail(error, e.at(ErrorPlace::ReadUpgraded));
    return true;
}

bool CheckBooksSchema(Database& ledger, ErrorInfo* error)
{
    bool needs = false;
    if (!needsSlipCount(ledger, &needs, error))
        return false;
    struct Needed {
        QString schema;
        QString table;
        QStringList columns;
        bool optional = false; // the upgrade creates it
    };
    const Needed needed[] = {
        {QStringLiteral("main"),
         QStringLiteral("transfer"),
         {QStringLiteral("smonth"), QStringLiteral("amount"), QStringLiteral("cardcode")}},
        {QStringLiteral("main"), QStringLiteral("history"),
         QStringLiteral("id at computer username kind code sdate cardcode field old_value new_value carry_rows step"
                        " origin target undo_state note")
             .split(QLatin1Char(' ')),
         true},
        {CardAlias(),
         QStringLiteral("Plastra"),
         {QStringLiteral("code"), QStringLiteral("name"), QStringLiteral("fee"), QStringLiteral("setday")}},
    };
    for (const Needed& n : needed) {
        ErrorInfo e;
        const QStringList columns = ledger.columnsOf(n.schema, n.table, &e);
        if (e.isSet())
            return fail(error, e);
        const QString file =
            ledger.scalar(QStringLiteral("SELECT file FROM pragma_database_list WHERE name = ?"), {n.schema})
                .toString();
        if (columns.isEmpty() && n.optional)
            continue;
        if (columns.isEmpty())
            return fail(error, ErrorInfo::notice(QCoreApplication::translate("DbAccess", "%1 표가 없습니다: %2")
                                                     .arg(n.table, QDir::toNativeSeparators(file))));
        for (const QString& c : n.columns) {
            if (!columns.contains(c))
                return fail(error,
                            ErrorInfo::notice(QCoreApplication::translate("DbAccess", "%1 표에 %2 열이 없습니다: %3")
                                                  .arg(n.table, c, QDir::toNativeSeparators(file))));
        }
        const int version = ledger.scalar(QStringLiteral("PRAGMA %1.user_version").arg(n.schema)).toInt();
        if (version < 0 || version > kBooksSchemaVersion)
            return fail(error, ErrorInfo::notice(QCoreApplication::translate(
                                                     "DbAccess", "이 Tallox가 모르는 형식(버전 %1)의 파일입니다: %2")
                                                     .arg(version)
                                                     .arg(QDir::toNativeSeparators(file))));
    }
    return true;
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
    return History::EnsureTable(ledger, QStringLiteral("main"), error) && ledger.setUserVersion(kBooksSchemaVersion) &&
           tx.commit(error);
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
    return card.setUserVersion(kBooksSchemaVersion) && tx.commit(error);
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
