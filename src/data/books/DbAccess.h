#pragma once

#include "data/base/Money.h"
#include "data/db/Database.h"

#include <QSqlQuery>
#include <QString>
#include <QVariantList>

// The record-set routines of the stores and queries. They never show
// anything: a failure comes back in `error` for the caller to report.

// Opens the file into the handle ("프로그램 수행도중 오류가 발생했습니다." with the engine's error).
// A read-only handle neither writes the file nor changes its journal mode.
bool OpenDB(Database& db, const QString& path, bool exclusive = false, ErrorInfo* error = nullptr,
            bool readOnly = false);

// Opens a query. True: `rs` is executed and ready to step with next().
// False: `error` is a Query error naming the statement (number 91 for a
// handle that is not open).
bool OpenSnapshot(Database& db, QSqlQuery& rs, const QString& sql, const QVariantList& binds, ErrorInfo* error);

// Ends a read loop: closes the query and reports an error met while stepping
// (a damaged page ends next() early, and only lastError() tells).
bool FinishRead(QSqlQuery& rs, ErrorInfo* error);

// An amount as the database holds it: an INTEGER count of ten-thousandths,
// NULL read as 0 (an empty sum). A REAL or TEXT value, stored by another
// program or left by a sum that SQLite took to floating point, is no amount:
// false, and the caller reports NotAnAmount() instead of showing it.
bool ReadMoney(const QVariant& v, Money* out);
ErrorInfo NotAnAmount();
// A sum of money that left the range of Money.
ErrorInfo MoneyOverflow();

void CloseRs(QSqlQuery& rs);
void CloseRs(Database& db);

// The engine's field-type codes that AddField_Dao takes.
namespace FieldType {
enum : int {
    Boolean = 1,
    Byte = 2,
    Integer = 3,
    Long = 4,
    Currency = 5, // in ten-thousandths
    Single = 6,
    Double = 7,
    DateTime = 8,
    Text = 10,
    Memo = 12,
};
}

// SQLite type names for the engine's field-type codes.
QString SqlTypeForFieldCode(int fieldType);

// Adds a field to a table unless the table is missing (false, no message) or
// the field exists (false, `error` untouched). The new field and the
// follow-up SQL are one transaction. An engine error sets `error` (placed at
// ErrorPlace::AddField) and returns false.
bool AddField_Dao(Database& db, const QString& table, const QString& field, int fieldType, int size,
                  bool allowZeroLength, const QString& followUpSql, ErrorInfo* error = nullptr);

// The upgrade of the ledger database when the window opens it or a command
// writes it: the slip count field, added only to a ledger of Tallox (its table
// has all of Tallox's other columns). False on an engine error, and with a
// notice that names the file when it is not a ledger of Tallox (empty, another program's).
bool UpgradeSchema(Database& ledger, ErrorInfo* error = nullptr);
// For a read-only handle: a ledger that lacks only the slip count reads as
// the upgrade would leave it (one slip per entry), without any write.
bool ReadAsUpgraded(Database& ledger, ErrorInfo* error = nullptr);

// The newest layout of the ledger and card files (PRAGMA user_version) that this program knows; 0 is a file
// from before versions were kept.
constexpr int kBooksSchemaVersion = 1;

// Books about to replace the current ones: the ledger (its card file attached as CardAlias()) has the ledger
// table as UpgradeSchema requires it, the carry-over and card tables (and the history table, when there
// is one) with the columns Tallox uses, and neither file is of a version this program does not know. False with a
// notice naming the file otherwise.
bool CheckBooksSchema(Database& ledger, ErrorInfo* error = nullptr);

// Creates the tables of a new ledger or card database (first run, demo data, tests).
bool CreateLedgerSchema(Database& ledger, ErrorInfo* error = nullptr);
bool CreateCardSchema(Database& card, ErrorInfo* error = nullptr);
// Creates both files with their schema in `folder` (which is created when missing).
bool CreateDatabaseFiles(const QString& folder, ErrorInfo* error = nullptr);

// The alias under which the card database is attached to the ledger connection.
inline QString CardAlias()
{
    return QStringLiteral("card");
}
