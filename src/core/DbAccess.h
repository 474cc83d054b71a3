#pragma once

#include "platform/Database.h"

#include <QSqlQuery>
#include <QString>
#include <QVariantList>

// The record-set routines every window uses. They never raise: a failure has
// shown its message by the time they return false.

// Opens the file into the handle; on failure shows the error box and returns false.
bool OpenDB(Database& db, const QString& path, bool exclusive = false, ErrorInfo* error = nullptr);

// Opens a read-only (snapshot) or row-editing (dynaset) query. True: `rs` is
// executed and ready to step with next(). False: the message of the engine
// error has been shown ("Query" for a missing table or column, "MDB 오류" for
// a handle that is not open, "ERROR" with the engine's text otherwise).
bool OpenSnapshot(Database& db, QSqlQuery& rs, const QString& sql, const QVariantList& binds = {});
bool OpenDynaset(Database& db, QSqlQuery& rs, const QString& sql, const QVariantList& binds = {});

// Shows the open-routine message for an engine error on `sql`.
void ShowQueryError(const ErrorInfo& error, const QString& sql, bool handleMissing = false);

void CloseRs(QSqlQuery& rs);
void CloseRs(Database& db);

// SQLite type names for the engine's field-type codes (4 long, 5 currency, 7 double, 10 text, ...).
QString SqlTypeForFieldCode(int fieldType);

// Adds a field to a table unless the table is missing (false, no message) or
// the field exists (false). The new field and the follow-up SQL are one
// transaction. An engine error shows the procedure error box and returns false.
bool AddField_Dao(Database& db, const QString& table, const QString& field, int fieldType, int size,
                  bool allowZeroLength, const QString& followUpSql);

// The start-up upgrade of the ledger database: the slip count field.
void UpgradeSchema(Database& ledger);

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
